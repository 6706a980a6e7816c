#pragma once
// A shared library opened while the program runs rather than linked, so a
// start that never needs it does not map it (and the libraries it brings).
// The caller keeps the functions it looks up in a table of its own, typed as
// the library's header declares them.
#include <string>

namespace base {

class RuntimeLibrary {
public:
    // Opens `file` (a stable name like "libfoo.so.1"), kept open until the
    // process ends; on failure error() says why.
    explicit RuntimeLibrary(const char* file);

    // The function `name`, cast to the type of F; null once anything failed,
    // and error() then names the first that was missing.
    template <class F>
    F function(const char* name) {
        return reinterpret_cast<F>(symbol(name));
    }

    // Empty while the library and every function asked for were found.
    const std::string& error() const { return error_; }

private:
    void* symbol(const char* name);

    const char* file_;
    void* handle_ = nullptr;
    std::string error_;
};

// Ends the program with a message naming `what` and the error: called when
// code calls into a library that failed to open, instead of jumping through
// an empty pointer.
[[noreturn]] void calledWithoutLibrary(const char* what, const std::string& error);

}  // namespace base
