// One visitor from several lambdas, for turning an operation's result into
// what a front end does with it.
#pragma once

template <typename... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};

// Clang 14 deduces aggregates' template arguments only with a guide.
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;
