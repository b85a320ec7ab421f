// A call handed to an object that keeps it: a lambda that captures a few
// references, copied in place. Unlike std::function it never allocates and
// has no copy or destroy code of its own, which keeps the program small.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

template <typename Signature>
class Callback;

template <typename R, typename... Args>
class Callback<R(Args...)> {
 public:
  Callback() = default;

  template <typename F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, Callback>)
  Callback(F f) : call_(&Call<F>) {  // NOLINT: made from lambdas where it is passed
    static_assert(sizeof(F) <= sizeof(storage_), "captures more than a few references");
    static_assert(std::is_trivially_copyable_v<F> && std::is_trivially_destructible_v<F>,
                  "kept by copying its bytes");
    ::new (static_cast<void*>(storage_)) F(f);
  }

  explicit operator bool() const { return call_ != nullptr; }
  R operator()(Args... args) const { return call_(storage_, std::forward<Args>(args)...); }

 private:
  template <typename F>
  static R Call(const void* storage, Args... args) {
    return (*static_cast<const F*>(storage))(std::forward<Args>(args)...);
  }

  R (*call_)(const void*, Args...) = nullptr;
  alignas(void*) unsigned char storage_[4 * sizeof(void*)] = {};
};
