#include "platform/net/CurlLibrary.h"

// The functions are defined here under their own names, so the header's
// type-checking macros (which would rename them) stay off in this file.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include <cstdarg>

#include "platform/base/RuntimeLibrary.h"

namespace net {

namespace {

// The shared library of libcurl 4 by its stable name.
constexpr const char* kCurlLibrary = "libcurl.so.4";

// Every libcurl function the net layer and its tests call.
// clang-format off
#define TOLVEK_CURL_FUNCTIONS(X)                                                                         \
    X(curl_global_init) X(curl_easy_init) X(curl_easy_cleanup) X(curl_easy_setopt) X(curl_easy_getinfo)  \
    X(curl_easy_perform) X(curl_easy_strerror) X(curl_free) X(curl_getdate) X(curl_slist_append)         \
    X(curl_slist_free_all) X(curl_multi_init) X(curl_multi_cleanup) X(curl_multi_add_handle)             \
    X(curl_multi_remove_handle) X(curl_multi_perform) X(curl_multi_poll) X(curl_multi_info_read)         \
    X(curl_multi_wakeup) X(curl_url) X(curl_url_cleanup) X(curl_url_get) X(curl_url_set)
// clang-format on

// The library's functions, typed as the header declares them.
struct CurlFunctions {
// NOLINTNEXTLINE(bugprone-macro-parentheses): a declaration, not an expression
#define TOLVEK_CURL_POINTER(name) decltype(&::name) name = nullptr;
    TOLVEK_CURL_FUNCTIONS(TOLVEK_CURL_POINTER)
#undef TOLVEK_CURL_POINTER
};

struct Loaded {
    CurlFunctions functions;
    std::string error;  // empty once every function is found
};

const Loaded& loaded() {
    // Opened once, by whichever thread asks first.
    static const Loaded result = [] {
        base::RuntimeLibrary library(kCurlLibrary);
        Loaded l;
#define TOLVEK_LOOKUP(name) l.functions.name = library.function<decltype(&::name)>(#name);
        TOLVEK_CURL_FUNCTIONS(TOLVEK_LOOKUP)
#undef TOLVEK_LOOKUP
        l.error = library.error();
        return l;
    }();
    return result;
}

// The functions of a library that loaded; calling it before loadCurl
// succeeded is a fault of the caller.
const CurlFunctions& curl() {
    const Loaded& l = loaded();
    if (!l.error.empty()) base::calledWithoutLibrary("libcurl", l.error);
    return l.functions;
}

}  // namespace

bool loadCurl(std::string* why) {
    const Loaded& l = loaded();
    if (!l.error.empty() && why) *why = l.error;
    return l.error.empty();
}

}  // namespace net

// The libcurl functions themselves, as the net layer calls them, each passing
// its arguments on to the library's own.
extern "C" {

CURLcode curl_global_init(long flags) { return net::curl().curl_global_init(flags); }
CURL* curl_easy_init(void) { return net::curl().curl_easy_init(); }
void curl_easy_cleanup(CURL* curl) { net::curl().curl_easy_cleanup(curl); }
CURLcode curl_easy_perform(CURL* curl) { return net::curl().curl_easy_perform(curl); }
const char* curl_easy_strerror(CURLcode code) { return net::curl().curl_easy_strerror(code); }
void curl_free(void* p) { net::curl().curl_free(p); }
time_t curl_getdate(const char* p, const time_t* unused) { return net::curl().curl_getdate(p, unused); }
curl_slist* curl_slist_append(curl_slist* list, const char* data) { return net::curl().curl_slist_append(list, data); }
void curl_slist_free_all(curl_slist* list) { net::curl().curl_slist_free_all(list); }

// The signatures are libcurl's own, an enum before the "...": it arrives as
// an int on every ABI this builds for, and va_start needs only its place.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif

// An option's one argument is a long, a pointer to data, a pointer to a
// function or a file offset, as the option's number says (libcurl reads it
// the same way); it is passed on as that type.
CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
    const auto set = net::curl().curl_easy_setopt;
    va_list args;
    va_start(args, option);
    CURLcode code;
    if (option < CURLOPTTYPE_OBJECTPOINT) {
        code = set(curl, option, va_arg(args, long));
    } else if (option < CURLOPTTYPE_FUNCTIONPOINT) {
        code = set(curl, option, va_arg(args, void*));
    } else if (option < CURLOPTTYPE_OFF_T) {
        using Function = void (*)();
        code = set(curl, option, va_arg(args, Function));
    } else if (option < CURLOPTTYPE_BLOB) {
        code = set(curl, option, va_arg(args, curl_off_t));
    } else {
        code = set(curl, option, va_arg(args, void*));
    }
    va_end(args);
    return code;
}

// Every item is answered through one pointer.
CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
    va_list args;
    va_start(args, info);
    void* out = va_arg(args, void*);
    va_end(args);
    return net::curl().curl_easy_getinfo(curl, info, out);
}

#if defined(__clang__)
#pragma clang diagnostic pop
#endif

CURLM* curl_multi_init(void) { return net::curl().curl_multi_init(); }
CURLMcode curl_multi_cleanup(CURLM* multi) { return net::curl().curl_multi_cleanup(multi); }
CURLMcode curl_multi_add_handle(CURLM* multi, CURL* easy) { return net::curl().curl_multi_add_handle(multi, easy); }
CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* easy) {
    return net::curl().curl_multi_remove_handle(multi, easy);
}
CURLMcode curl_multi_perform(CURLM* multi, int* running) { return net::curl().curl_multi_perform(multi, running); }
CURLMcode curl_multi_poll(CURLM* multi, curl_waitfd extra[], unsigned int count, int timeoutMs, int* ready) {
    return net::curl().curl_multi_poll(multi, extra, count, timeoutMs, ready);
}
CURLMsg* curl_multi_info_read(CURLM* multi, int* queued) { return net::curl().curl_multi_info_read(multi, queued); }
CURLMcode curl_multi_wakeup(CURLM* multi) { return net::curl().curl_multi_wakeup(multi); }

CURLU* curl_url(void) { return net::curl().curl_url(); }
void curl_url_cleanup(CURLU* handle) { net::curl().curl_url_cleanup(handle); }
CURLUcode curl_url_get(CURLU* handle, CURLUPart what, char** part, unsigned int flags) {
    return net::curl().curl_url_get(handle, what, part, flags);
}
CURLUcode curl_url_set(CURLU* handle, CURLUPart what, const char* part, unsigned int flags) {
    return net::curl().curl_url_set(handle, what, part, flags);
}

}  // extern "C"
