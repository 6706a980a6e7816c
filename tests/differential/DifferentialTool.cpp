// Prints what our readers and writers of outside formats make of generated
// input, for the differential tests that compare it with a reference
// implementation (node's URL parser, python's plistlib and email package).
// One case a line in, one answer a line out; every text travels as hex so
// that any byte survives.
//
//   differential_tool url         "HREF\tBASE"  -> the resolved address and
//                                                  how net::URL reads it
//   differential_tool plist-read  "BYTES"       -> the value read, as tokens
//   differential_tool plist-write "TOKENS"      -> "XML\tBINARY" written
//   differential_tool mail        "FIELDS"      -> the message written
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/base/Value.h"
#include "platform/net/URL.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/WebPage.h"

namespace {

std::string hex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string hex(const base::Data& bytes) {
    return hex(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int nibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw std::runtime_error("bad hex digit");
}

std::string unhex(std::string_view text) {
    if (text.size() % 2) throw std::runtime_error("odd hex length");
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2)
        out += static_cast<char>(nibble(text[i]) * 16 + nibble(text[i + 1]));
    return out;
}

std::vector<std::string> split(const std::string& line, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = line.find(sep, start);
        out.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

// ---- Addresses

std::string url(const std::string& line) {
    auto fields = split(line, '\t');
    if (fields.size() != 2) throw std::runtime_error("want HREF\\tBASE");
    const std::string resolved = ui::WebPage::resolve(unhex(fields[0]), unhex(fields[1]));
    const auto parsed = net::URL::URLWithString(resolved);
    std::ostringstream out;
    out << hex(resolved) << '\t' << (parsed ? 1 : 0);
    if (parsed)
        out << '\t' << hex(parsed->scheme()) << '\t' << hex(parsed->user()) << '\t' << hex(parsed->password()) << '\t'
            << hex(parsed->host()) << '\t' << parsed->port() << '\t' << hex(parsed->path()) << '\t'
            << (parsed->hasQuery() ? 1 : 0) << '\t' << hex(parsed->query()) << '\t' << hex(parsed->fragment());
    return out.str();
}

// ---- Property lists
//
// A value as tokens separated by blanks: "b0"/"b1", "i" and a decimal
// integer, "r" and the 16 hex digits of a double's bits, "s" and hex UTF-8,
// "d" and hex bytes, "t" and the bits of a date's seconds since 2001, "a" and
// a count followed by that many values, "k" and a count followed by that
// many key (as "s") and value pairs.

std::string bitsOf(double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(bits));
    return buf;
}

double doubleOf(std::string_view bits) {
    std::uint64_t v = std::stoull(std::string(bits), nullptr, 16);
    double d = 0;
    std::memcpy(&d, &v, sizeof d);
    return d;
}

void tokens(const base::Value& v, std::string& out) {
    if (!out.empty()) out += ' ';
    switch (v.type()) {
    case base::Value::Type::Null: out += "n"; break;
    case base::Value::Type::Bool: out += v.boolValue() ? "b1" : "b0"; break;
    case base::Value::Type::Integer: out += "i" + v.stringValue(); break;  // exact, past 2^63 too
    case base::Value::Type::Real: out += "r" + bitsOf(v.doubleValue()); break;
    case base::Value::Type::String: out += "s" + hex(*v.asString()); break;
    case base::Value::Type::Data: out += "d" + hex(*v.asData()); break;
    case base::Value::Type::Date: out += "t" + bitsOf(v.asDate()->timeIntervalSinceReferenceDate()); break;
    case base::Value::Type::Array:
        out += "a" + std::to_string(v.asArray()->size());
        for (const auto& item : *v.asArray()) tokens(item, out);
        break;
    case base::Value::Type::Dictionary:
        out += "k" + std::to_string(v.asDictionary()->size());
        for (const auto& [key, item] : *v.asDictionary()) {
            out += " s" + hex(key);
            tokens(item, out);
        }
        break;
    }
}

base::Value fromTokens(const std::vector<std::string>& list, std::size_t& i) {
    if (i >= list.size()) throw std::runtime_error("tokens end early");
    const std::string& t = list[i++];
    const std::string rest = t.substr(1);
    switch (t[0]) {
    case 'b': return base::Value(rest == "1");
    case 'i':
        // Beyond the signed 64-bit range as Value takes it (it saturates).
        if (rest[0] == '-') return base::Value(static_cast<long long>(std::stoll(rest)));
        return base::Value(static_cast<unsigned long long>(std::stoull(rest)));
    case 'r': return base::Value(doubleOf(rest));
    case 's': return base::Value(unhex(rest));
    case 'd': {
        std::string bytes = unhex(rest);
        return base::Value(base::Data(bytes.begin(), bytes.end()));
    }
    case 't': return base::Value(base::Date::dateWithTimeIntervalSinceReferenceDate(doubleOf(rest)));
    case 'a': {
        base::Array a;
        for (long k = std::stol(rest); k > 0; --k) a.push_back(fromTokens(list, i));
        return base::Value(std::move(a));
    }
    case 'k': {
        base::Dictionary d;
        for (long k = std::stol(rest); k > 0; --k) {
            if (i >= list.size() || list[i].empty() || list[i][0] != 's') throw std::runtime_error("key expected");
            std::string key = unhex(list[i++].substr(1));
            d.set(key, fromTokens(list, i));
        }
        return base::Value(std::move(d));
    }
    default: throw std::runtime_error("unknown token " + t);
    }
}

std::string plistRead(const std::string& line) {
    const std::string bytes = unhex(line);
    std::string why;
    auto value = base::Value::fromPlist(base::Data(bytes.begin(), bytes.end()), &why);
    if (!value) return "ERR " + hex(why);
    std::string out;
    tokens(*value, out);
    return out;
}

std::string plistWrite(const std::string& line) {
    const auto list = split(line, ' ');
    std::size_t i = 0;
    const base::Value value = fromTokens(list, i);
    std::string whyXML, whyBinary;
    auto xml = value.toXMLPlist(&whyXML);
    auto binary = value.toBinaryPlist(&whyBinary);
    return (xml ? hex(*xml) : "ERR" + hex(whyXML)) + '\t' + (binary ? hex(*binary) : "ERR" + hex(whyBinary));
}

// ---- Mail
//
// Fields separated by tabs, each hex: the sender ($EMAIL), the date (seconds
// since 1970, decimal, not hex), To, Cc and Bcc (addresses separated by
// newlines), the subject, the body, "1" for an HTML body, then per
// attachment its MIME type, file name and bytes.

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    return split(text, '\n');
}

std::string mail(const std::string& line) {
    auto fields = split(line, '\t');
    if (fields.size() < 8 || (fields.size() - 8) % 3 != 0) throw std::runtime_error("bad mail fields");
    const std::string sender = unhex(fields[0]);
    if (sender.empty()) ::unsetenv("EMAIL");
    else ::setenv("EMAIL", sender.c_str(), 1);
    const double date = std::stod(fields[1]);
    auto composer = std::make_shared<ui::MailComposeViewController>();
    composer->setToRecipients(lines(unhex(fields[2])));
    composer->setCcRecipients(lines(unhex(fields[3])));
    composer->setBccRecipients(lines(unhex(fields[4])));
    composer->setSubject(unhex(fields[5]));
    composer->setMessageBody(unhex(fields[6]), unhex(fields[7]) == "1");
    for (std::size_t k = 8; k + 2 < fields.size(); k += 3) {
        std::string bytes = unhex(fields[k + 2]);
        composer->addAttachmentData(base::Data(bytes.begin(), bytes.end()), unhex(fields[k]), unhex(fields[k + 1]));
    }
    return hex(composer->messageText(date));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: differential_tool url|plist-read|plist-write|mail < cases\n";
        return 2;
    }
    const std::string command = argv[1];
    std::string (*handle)(const std::string&) = command == "url"           ? url
                                                : command == "plist-read"  ? plistRead
                                                : command == "plist-write" ? plistWrite
                                                : command == "mail"        ? mail
                                                                           : nullptr;
    if (!handle) {
        std::cerr << "unknown command " << command << "\n";
        return 2;
    }
    std::string line;
    std::size_t number = 0;
    while (std::getline(std::cin, line)) {
        ++number;
        try {
            std::cout << handle(line) << '\n';
        } catch (const std::exception& e) {
            std::cerr << "case " << number << ": " << e.what() << "\n";
            return 1;
        }
    }
    return 0;
}
