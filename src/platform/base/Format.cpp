#include "platform/base/Format.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace base {

namespace {

// Formats one value with a printf conversion spec built from the parsed
// flags, width and precision (never from the caller's text directly, so a
// stray length modifier or conversion cannot mismatch the argument type).
template <class T>
void append(std::string& out, const std::string& spec, T value) {
    char small[128];
    int n = std::snprintf(small, sizeof small, spec.c_str(), value);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof small) {
        out.append(small, static_cast<std::size_t>(n));
        return;
    }
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), spec.c_str(), value);
    out.append(big.data(), static_cast<std::size_t>(n));
}

long long asSigned(const FormatArg& a) {
    switch (a.kind) {
    case FormatArg::Kind::Signed: return a.i;
    case FormatArg::Kind::Unsigned: return static_cast<long long>(a.u);
    case FormatArg::Kind::Real: return static_cast<long long>(a.d);
    case FormatArg::Kind::Text: return std::atoll(a.s.c_str());
    case FormatArg::Kind::Pointer: return static_cast<long long>(reinterpret_cast<std::uintptr_t>(a.p));
    }
    return 0;
}

unsigned long long asUnsigned(const FormatArg& a) {
    switch (a.kind) {
    case FormatArg::Kind::Signed: return static_cast<unsigned long long>(a.i);
    case FormatArg::Kind::Unsigned: return a.u;
    case FormatArg::Kind::Real: return static_cast<unsigned long long>(static_cast<long long>(a.d));
    case FormatArg::Kind::Text: return std::strtoull(a.s.c_str(), nullptr, 10);
    case FormatArg::Kind::Pointer: return reinterpret_cast<std::uintptr_t>(a.p);
    }
    return 0;
}

double asReal(const FormatArg& a) {
    switch (a.kind) {
    case FormatArg::Kind::Signed: return static_cast<double>(a.i);
    case FormatArg::Kind::Unsigned: return static_cast<double>(a.u);
    case FormatArg::Kind::Real: return a.d;
    case FormatArg::Kind::Text: return std::atof(a.s.c_str());
    case FormatArg::Kind::Pointer: return 0;
    }
    return 0;
}

std::string asText(const FormatArg& a) {
    char buf[64];
    switch (a.kind) {
    case FormatArg::Kind::Signed: return std::to_string(a.i);
    case FormatArg::Kind::Unsigned: return std::to_string(a.u);
    case FormatArg::Kind::Real:
        // As the platform prints a number object: shortest form.
        std::snprintf(buf, sizeof buf, "%.17g", a.d);
        for (int prec = 1; prec <= 17; ++prec) {
            std::snprintf(buf, sizeof buf, "%.*g", prec, a.d);
            if (std::strtod(buf, nullptr) == a.d) break;
        }
        return buf;
    case FormatArg::Kind::Text: return a.s;
    case FormatArg::Kind::Pointer:
        if (!a.p) return "(null)";
        std::snprintf(buf, sizeof buf, "%p", a.p);
        return buf;
    }
    return {};
}

}  // namespace

std::string formatArgs(std::string_view fmt, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(fmt.size() + 16 * args.size());
    std::size_t next = 0;
    static const FormatArg missing{std::string_view()};  // reads 0 or ""
    auto take = [&]() -> const FormatArg& { return next < args.size() ? args[next++] : missing; };

    std::size_t i = 0;
    while (i < fmt.size()) {
        char c = fmt[i];
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t start = i++;
        std::string flags;
        while (i < fmt.size() && std::string_view("-+ #0'").find(fmt[i]) != std::string_view::npos)
            flags.push_back(fmt[i++]);
        std::string width;
        if (i < fmt.size() && fmt[i] == '*') {
            ++i;
            long long w = asSigned(take());
            if (w < 0) {
                flags.push_back('-');
                w = -w;
            }
            width = std::to_string(w);
        } else {
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') width.push_back(fmt[i++]);
        }
        std::string precision;
        bool hasPrecision = false;
        if (i < fmt.size() && fmt[i] == '.') {
            hasPrecision = true;
            ++i;
            if (i < fmt.size() && fmt[i] == '*') {
                ++i;
                long long p = asSigned(take());
                if (p < 0) hasPrecision = false;  // as printf: a negative precision is none
                else precision = std::to_string(p);
            } else {
                while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') precision.push_back(fmt[i++]);
                if (precision.empty()) precision = "0";
            }
        }
        // Length modifiers only say how wide the C argument was; our
        // arguments carry their own type, so they are skipped.
        while (i < fmt.size() && std::string_view("hlqLzjt").find(fmt[i]) != std::string_view::npos) ++i;
        if (i >= fmt.size()) {
            out.append(fmt.substr(start));  // an unfinished spec is printed as it stands
            break;
        }
        char conv = fmt[i++];
        // One expression: gcc 12 warns falsely (-Wrestrict) on appending the parts.
        // NOLINTNEXTLINE(performance-inefficient-string-concatenation)
        std::string spec = "%" + flags + width + (hasPrecision ? "." + precision : std::string());
        switch (conv) {
        case '%': out.push_back('%'); break;
        case 'd':
        case 'i': append(out, spec + "lld", asSigned(take())); break;
        case 'u':
        case 'o':
        case 'x':
        case 'X': append(out, spec + "ll" + conv, asUnsigned(take())); break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A': append(out, spec + conv, asReal(take())); break;
        case 'c': {
            const FormatArg& a = take();
            int ch = a.kind == FormatArg::Kind::Text ? (a.s.empty() ? 0 : static_cast<unsigned char>(a.s[0]))
                                                     : static_cast<int>(asSigned(a));
            append(out, spec + "c", ch);
            break;
        }
        case 's':
        case '@': {
            std::string text = asText(take());
            append(out, spec + "s", text.c_str());
            break;
        }
        case 'p': {
            const FormatArg& a = take();
            append(out, spec + "p", a.kind == FormatArg::Kind::Pointer ? a.p : nullptr);
            break;
        }
        default:
            // Unknown conversion: keep the text so the mistake is visible.
            out.append(fmt.substr(start, i - start));
            break;
        }
    }
    return out;
}

}  // namespace base
