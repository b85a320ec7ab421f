// Small stand-ins for parts of the statically linked C++ runtime that would
// otherwise make up most of setup.exe. Each one keeps what the program can
// observe and drops what it never shows: the program has no console, so the
// runtime's text output on a fatal error reaches nobody.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <exception>
#include <new>

// The runtime's default terminate handler prints the demangled name of the
// uncaught exception's type to stderr, which pulls in the whole demangler.
// Without a console it ends the process with abort() and nothing else.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// A call of a pure virtual function (a class in the middle of being made or
// destroyed) is a fault; the runtime's own handler reaches the whole
// exception runtime through std::terminate.
extern "C" void __cxa_pure_virtual() { std::abort(); }

// The standard library reports misuse (a string past its maximum size, an
// index out of range) and exhausted memory through these. None is caught
// anywhere in the program, so each would end in std::terminate: ending the
// process here gives the same result without the runtime's exception class
// hierarchy and its message formatting. All of them are defined, so that the
// runtime's own copy is never linked in beside these.
namespace std {
[[noreturn]] static void Unrecoverable() { std::abort(); }
void __throw_bad_exception() { Unrecoverable(); }
void __throw_bad_alloc() { Unrecoverable(); }
void __throw_bad_array_new_length() { Unrecoverable(); }
void __throw_bad_cast() { Unrecoverable(); }
void __throw_bad_typeid() { Unrecoverable(); }
void __throw_logic_error(const char*) { Unrecoverable(); }
void __throw_domain_error(const char*) { Unrecoverable(); }
void __throw_invalid_argument(const char*) { Unrecoverable(); }
void __throw_length_error(const char*) { Unrecoverable(); }
void __throw_out_of_range(const char*) { Unrecoverable(); }
void __throw_out_of_range_fmt(const char*, ...) { Unrecoverable(); }
void __throw_runtime_error(const char*) { Unrecoverable(); }
void __throw_range_error(const char*) { Unrecoverable(); }
void __throw_overflow_error(const char*) { Unrecoverable(); }
void __throw_underflow_error(const char*) { Unrecoverable(); }
void __throw_bad_function_call() { Unrecoverable(); }
}  // namespace std

// The same for memory: the runtime's operator new throws std::bad_alloc,
// which nothing catches; it alone would link in the whole exception runtime.
void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  std::abort();
}

// The runtime's nothrow form catches that bad_alloc, which links it all in too.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

// The runtime's own delete and its nothrow tag each bring an object file
// with unwind tables (and the new-handler functions) along; these are all
// the program uses of them.
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
// The array forms too: the runtime's are the only objects left that would
// bring unwind tables, a section of their own in the file.
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* memory) noexcept { std::free(memory); }
namespace std {
const nothrow_t nothrow{};
}  // namespace std

