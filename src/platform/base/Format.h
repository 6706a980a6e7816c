#pragma once
// printf-style formatting with the platform's extras: "%@" takes a string or
// any object that has description() (a null pointer prints "(null)"), and
// "%i", "% i", "%d", "%u", "%ld", "%lld", "%f", "%.2f", "%x", "%s", "%c",
// "%%" and flags, width and precision behave as in printf.
#include <concepts>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace base {

struct FormatArg {
    enum class Kind { Signed, Unsigned, Real, Text, Pointer };
    Kind kind = Kind::Signed;
    long long i = 0;
    unsigned long long u = 0;
    double d = 0;
    std::string s;
    const void* p = nullptr;

    template <std::signed_integral T>
    FormatArg(T v) : kind(Kind::Signed), i(v) {}
    template <std::unsigned_integral T>
    FormatArg(T v) : kind(Kind::Unsigned), u(v) {}
    FormatArg(bool v) : kind(Kind::Signed), i(v ? 1 : 0) {}
    FormatArg(char v) : kind(Kind::Signed), i(v) {}
    template <std::floating_point T>
    FormatArg(T v) : kind(Kind::Real), d(static_cast<double>(v)) {}
    FormatArg(const char* v) : kind(Kind::Text), s(v ? v : "(null)") {}
    FormatArg(const std::string& v) : kind(Kind::Text), s(v) {}
    FormatArg(std::string_view v) : kind(Kind::Text), s(v) {}
    template <class T>
    requires requires(const T& t) {
        { t.description() } -> std::convertible_to<std::string>;
    }
    FormatArg(const T& v) : kind(Kind::Text), s(v.description()) {}
    template <class T>
    requires requires(const T& t) {
        { t.description() } -> std::convertible_to<std::string>;
    }
    FormatArg(const std::shared_ptr<T>& v) : kind(Kind::Text), s(v ? std::string(v->description()) : "(null)") {}
    template <class T>
    requires(!std::is_same_v<std::remove_cv_t<T>, char>) FormatArg(T* v) : kind(Kind::Pointer), p(v) {}
};

std::string formatArgs(std::string_view fmt, std::span<const FormatArg> args);

template <class... Args>
std::string format(std::string_view fmt, const Args&... args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg(0)};
    return formatArgs(fmt, std::span<const FormatArg>(list, sizeof...(Args)));
}

}  // namespace base
