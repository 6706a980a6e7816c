#include "platform/base/RuntimeLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace base {

RuntimeLibrary::RuntimeLibrary(const char* file) : file_(file), handle_(::dlopen(file, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) {
        const char* why = ::dlerror();
        error_ = why ? why : file;
    }
}

void* RuntimeLibrary::symbol(const char* name) {
    if (!error_.empty()) return nullptr;
    void* found = ::dlsym(handle_, name);
    if (!found) {
        error_ = file_;
        error_ += " has no ";
        error_ += name;
    }
    return found;
}

void calledWithoutLibrary(const char* what, const std::string& error) {
    std::fprintf(stderr, "tolvek: %s was called without a library to call (%s)\n", what, error.c_str());
    std::abort();
}

}  // namespace base
