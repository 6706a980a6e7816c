#include "sharing/json/VXJsonWriter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <forward_list>
#include <vector>

#include "platform/base/Format.h"
#include "platform/base/UTF8.h"
#include "sharing/json/VXJsonNumbers.h"

namespace {

// Where, among the eight bytes at p, the first one lies that must be
// escaped (a byte below 0x20, a double quote or a backslash); 8 when none
// does. Bytes from 0x80 up are parts of characters and go out as they are.
inline unsigned firstEscapedByte(const char* p) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    const std::uint64_t quote = x ^ (ones * '"');
    const std::uint64_t backslash = x ^ (ones * '\\');
    // Each term marks a byte by its top bit; the lowest marked byte is
    // exact (borrows only spill into the bytes above it).
    const std::uint64_t special = (((x - ones * 0x20) | (quote - ones) | (backslash - ones)) & ~x) & highs;
    if (special == 0) return 8;
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<unsigned>(std::countr_zero(special)) >> 3;
    else return static_cast<unsigned>(std::countl_zero(special)) >> 3;
}

// The text between double quotes, with the escapes JSON needs. Runs that
// need none are copied in one piece each.
void appendEscaped(std::string& json, std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    json += '"';
    const char* p = s.data();
    const char* const end = p + s.size();
    const char* run = p;  // start of the bytes not yet copied
    for (;;) {
        while (end - p >= 8) {
            const unsigned k = firstEscapedByte(p);
            p += k;
            if (k < 8) break;
        }
        while (p < end) {
            const auto c = static_cast<unsigned char>(*p);
            if (c < 0x20 || c == '"' || c == '\\') break;
            ++p;
        }
        if (p == end) break;
        json.append(run, static_cast<std::size_t>(p - run));
        const auto c = static_cast<unsigned char>(*p++);
        run = p;
        switch (c) {
        case '"': json.append("\\\"", 2); break;
        case '\\': json.append("\\\\", 2); break;
        case '\b': json.append("\\b", 2); break;
        case '\t': json.append("\\t", 2); break;
        case '\n': json.append("\\n", 2); break;
        case '\f': json.append("\\f", 2); break;
        case '\r': json.append("\\r", 2); break;
        default: {
            const char u[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 0x0F]};
            json.append(u, 6);
        }
        }
    }
    json.append(run, static_cast<std::size_t>(end - run));
    json += '"';
}

// Text that is not valid UTF-8 is written with U+FFFD for each bad byte:
// copied as it is, it would make JSON that the parser (and every other)
// refuses. `valid` says the text is known to be well-formed already (the
// parser checked it), so it is not looked at twice.
void writeString(std::string& json, std::string_view text, bool valid) {
    if (!valid && !base::isValidUTF8(text)) {
        appendEscaped(json, base::validUTF8(text));
        return;
    }
    appendEscaped(json, text);
}

}  // namespace

// Asks for what a value points to (the elements, a string's characters) a
// few elements before it is written; the value's own bytes say where it
// is.
void VXJsonWriter::prefetchContents(const VXJsonValue& v) {
    switch (v.type()) {
    case VXJsonValue::Type::Array: __builtin_prefetch(v.asArray()->data()); break;
    case VXJsonValue::Type::Object: __builtin_prefetch(v.asObject()->items().data()); break;
    case VXJsonValue::Type::String: __builtin_prefetch(v.v_.stringData()); break;
    default: break;
    }
}

std::optional<std::string> VXJsonWriter::stringWithFragment(const VXJsonValue& value) {
    clearErrorTrace();
    depth_ = 0;
    std::string json;
    // Room for a text like the last one, so that a large text is not
    // copied again and again as it grows.
    json.reserve(std::max<std::size_t>(128, lastLength_ + lastLength_ / 8));
    if (!appendValue(value, json)) return std::nullopt;
    lastLength_ = json.size();
    // A short text after a long one gives back the room it does not need.
    if (json.capacity() > 2 * json.size() + 4096) json.shrink_to_fit();
    return json;
}

std::optional<std::string> VXJsonWriter::stringWithObject(const VXJsonValue& value) {
    if (value.isContainer()) return stringWithFragment(value);
    // An application object is written through its proxy, which must itself
    // be an array or an object (or lead to one).
    std::optional<VXJsonValue> proxy;
    const VXJsonValue* v = &value;
    while (const auto* custom = v->asCustom()) {
        std::optional<VXJsonValue> next = (*custom)->proxyForJson();
        if (!next) break;
        proxy = std::move(next);
        v = &*proxy;
        if (v->isContainer()) {
            if (std::optional<std::string> text = stringWithFragment(*v)) return text;
            break;
        }
    }
    clearErrorTrace();
    addErrorWithCode(VXJsonErrorCode::Fragment, "Not valid type for JSON");
    return std::nullopt;
}

void VXJsonWriter::appendIndent(std::string& json) const {
    json += '\n';
    json.append(2 * static_cast<std::size_t>(depth_), ' ');
}

bool VXJsonWriter::appendValue(const VXJsonValue& root, std::string& json) {
    struct Frame {
        const VXJsonArray* array = nullptr;
        const VXJsonObject* object = nullptr;
        std::size_t order = 0;  // where its sorted item indices start, with sortKeys
        bool sorted = false;
        std::size_t next = 0;
        std::size_t count = 0;
        const VXJsonKey* key = nullptr;  // the key whose value is written
    };
    std::vector<Frame> frames;
    std::vector<std::size_t> order;          // the sorted item indices of the open objects
    std::forward_list<VXJsonValue> proxies;  // stand-ins, kept while written

    // A value failed: every object around it names the key it was writing.
    auto fail = [&]() {
        while (!frames.empty()) {
            if (frames.back().object)
                addErrorWithCode(VXJsonErrorCode::Unsupported,
                                 base::format("Unsupported value for key %@ in object", frames.back().key->str()));
            frames.pop_back();
        }
        return false;
    };

    const VXJsonValue* v = &root;
    for (;;) {
        // Write v; a container opens a frame instead.
        while (const auto* custom = v->asCustom()) {
            std::optional<VXJsonValue> proxy = (*custom)->proxyForJson();
            if (!proxy) {
                addErrorWithCode(VXJsonErrorCode::Unsupported,
                                 base::format("JSON serialisation not supported for %@", (*custom)->className()));
                return fail();
            }
            proxies.push_front(std::move(*proxy));
            v = &proxies.front();
        }
        switch (v->type()) {
        case VXJsonValue::Type::Null: json += "null"; break;
        case VXJsonValue::Type::Bool: json += *v->asBool() ? "true" : "false"; break;
        case VXJsonValue::Type::Number:
            if (v->asNumber()->isNaN()) {
                // JSON has no text for a number that is not finite.
                addErrorWithCode(VXJsonErrorCode::Unsupported,
                                 base::format("JSON serialisation not supported for %@", v->description()));
                return fail();
            }
            VXJsonAppendDecimal(json, *v->asNumber());
            break;
        case VXJsonValue::Type::String: writeString(json, *v->asString(), v->v_.hasValidText()); break;
        case VXJsonValue::Type::Array:
        case VXJsonValue::Type::Object: {
            ++depth_;
            if (maxDepth() != 0 && depth_ > maxDepth()) {
                addErrorWithCode(VXJsonErrorCode::Depth, "Nested too deep");
                return fail();
            }
            Frame f;
            if (v->isArray()) {
                f.array = v->asArray();
                f.count = f.array->size();
                json += '[';
            } else {
                f.object = v->asObject();
                f.count = f.object->size();
                if (sortKeys_ && f.count > 1) {
                    const auto& items = f.object->items();
                    f.sorted = true;
                    f.order = order.size();
                    for (std::size_t i = 0; i < f.count; ++i) order.push_back(i);
                    std::sort(order.begin() + static_cast<std::ptrdiff_t>(f.order), order.end(),
                              [&items](std::size_t a, std::size_t b) { return items[a].first < items[b].first; });
                }
                json += '{';
            }
            frames.push_back(f);
            break;
        }
        case VXJsonValue::Type::Custom: break;  // resolved above
        }

        // Move on to the next element of the innermost open container,
        // closing every container that is complete.
        for (;;) {
            if (frames.empty()) return true;
            Frame& f = frames.back();
            if (f.next == f.count) {
                --depth_;
                if (humanReadable_ && f.count > 0) appendIndent(json);
                json += f.array ? ']' : '}';
                if (f.sorted) order.resize(f.order);
                frames.pop_back();
                continue;
            }
            if (f.next > 0) json += ',';
            if (humanReadable_) appendIndent(json);
            constexpr std::size_t ahead = 4;
            if (f.array) {
                if (f.next + ahead < f.count) prefetchContents((*f.array)[f.next + ahead]);
                v = &(*f.array)[f.next];
            } else {
                if (!f.sorted && f.next + ahead < f.count) prefetchContents(f.object->items()[f.next + ahead].second);
                const auto& item = f.object->items()[f.sorted ? order[f.order + f.next] : f.next];
                f.key = &item.first;
                // The keys of an object the parser made are checked already.
                writeString(json, item.first, f.object->items().inRegion());
                json += humanReadable_ ? " : " : ":";
                v = &item.second;
            }
            ++f.next;
            break;
        }
    }
}
