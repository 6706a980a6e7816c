#include "sharing/json/VXJsonParser.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/base/Format.h"
#include "platform/base/UTF8.h"
#include "sharing/json/VXJsonNumbers.h"

namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The length of the well-formed UTF-8 sequence at p (lead byte >= 0x80), or 0
// when it is malformed: overlong, a surrogate, above U+10FFFF or cut short.
std::size_t utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char b = p[0];
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0) lo = 0xA0;
        else if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0) lo = 0x90;
        else if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < n) return 0;
    if (p[1] < lo || p[1] > hi) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    return n;
}

// Where, among the eight bytes at p, the first one lies that ends a run of
// a string (a byte below 0x20, a double quote, a backslash, or a byte from
// 0x80 up); 8 when none does.
inline unsigned firstSpecialByte(const unsigned char* p) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    const std::uint64_t quote = x ^ (ones * '"');
    const std::uint64_t backslash = x ^ (ones * '\\');
    // Each term marks a byte by its top bit; the lowest marked byte is
    // exact (borrows only spill into the bytes above it).
    const std::uint64_t special =
        (((x - ones * 0x20) & ~x) | ((quote - ones) & ~quote) | ((backslash - ones) & ~backslash) | x) & highs;
    if (special == 0) return 8;
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<unsigned>(std::countr_zero(special)) >> 3;
    else return static_cast<unsigned>(std::countl_zero(special)) >> 3;
}

// Passes over plain ASCII eight bytes at a time: the first control
// character, quote, backslash or non-ASCII byte from p on, or where fewer
// than eight bytes are left before end.
inline const unsigned char* skipPlainAscii(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 8) {
        const unsigned k = firstSpecialByte(p);
        p += k;
        if (k < 8) break;
    }
    return p;
}

// True when all eight bytes of x (in memory order) are digits (the scan of
// big-endian machines; little-endian ones count the leading digits instead).
[[maybe_unused]] inline bool eightDigits(std::uint64_t x) {
    return ((x & 0xF0F0F0F0F0F0F0F0ull) | (((x + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4)) ==
           0x3333333333333333ull;
}

// The number that eight digit values (0 to 9 each, the first digit at the
// lowest address) spell.
inline std::uint64_t eightDigitsValue(std::uint64_t values) {
    std::uint64_t v = values;
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    v = (v * 10) + (v >> 8);
    v = (((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
         (((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
        32;
    return v;
}

// How many of the eight bytes of x (in memory order) are digits before the
// first one that is not; 8 when all are. A carry out of a byte that is no
// digit spills only into the bytes after it, so the count stays exact.
inline unsigned leadingDigits(std::uint64_t x) {
    constexpr std::uint64_t highNibbles = 0xF0F0F0F0F0F0F0F0ull;
    constexpr std::uint64_t threes = 0x3030303030303030ull;
    const std::uint64_t other = ((x & highNibbles) ^ threes) | (((x + 0x0606060606060606ull) & highNibbles) ^ threes);
    if (other == 0) return 8;
    return static_cast<unsigned>(std::countr_zero(other)) >> 3;
}

constexpr std::uint64_t powersOf10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// How many of the eight digit values (first at the lowest address) are
// zeros before the first non-zero one; 8 when all are.
inline int leadingZeroDigits(std::uint64_t values) {
    if constexpr (std::endian::native == std::endian::little) return std::countr_zero(values) >> 3;
    else return std::countl_zero(values) >> 3;
}

unsigned decodeUTF8(const unsigned char* p, std::size_t n) {
    if (n == 2) return ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
    if (n == 3) return ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
    return ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
}

}  // namespace

std::optional<VXJsonValue> VXJsonParser::fragmentWithString(std::optional<std::string_view> text) {
    clearErrorTrace();
    if (!text) {
        addErrorWithCode(VXJsonErrorCode::NoInput, "Input was 'nil'");
        return std::nullopt;
    }
    depth_ = 0;
    c_ = reinterpret_cast<const unsigned char*>(text->data());
    end_ = c_ + text->size();
    VXJsonArena* arena = VXJsonArena::create(keep_.get(), text->size());
    arena_ = arena;
    keyTable_.fill(nullptr);
    std::optional<VXJsonValue> value = scanValue();
    // The document holds a reference to the region when it points into it.
    if (value && value->v_.inRegion()) arena->retain();
    if (value) {
        skipWhitespace();
        if (c_ != end_) {
            addErrorWithCode(VXJsonErrorCode::TrailingGarbage, "Garbage after JSON");
            value.reset();
        }
    }
    c_ = end_ = nullptr;
    reset();
    // From here the document alone keeps the region.
    arena->finish();
    return value;
}

std::optional<VXJsonValue> VXJsonParser::objectWithString(std::optional<std::string_view> text) {
    std::optional<VXJsonValue> value = fragmentWithString(text);
    if (value && !value->isContainer()) {
        addErrorWithCode(VXJsonErrorCode::Fragment, "Valid fragment, but not JSON");
        return std::nullopt;
    }
    return value;
}

void VXJsonParser::reset() {
    frames_.clear();
    values_.clear();
    keys_.clear();
    arena_ = nullptr;
}

VXJsonParser::ValueStack::~ValueStack() { release(); }

void VXJsonParser::ValueStack::release() noexcept {
    if (block_) VXJsonArena::giveBack(block_, keep_);
    else VXJsonArena::releaseMemory(data_, capacity_ * sizeof(VXJsonValue));
    block_ = nullptr;
    data_ = nullptr;
    size_ = capacity_ = 0;
}

void VXJsonParser::ValueStack::grow() {
    // A large stack takes a block kept from earlier documents, the largest
    // there is, and gives its old one back to them.
    const std::size_t capacity = capacity_ ? capacity_ * 2 : 256;
    VXJsonArena::Block* block = nullptr;
    VXJsonValue* data;
    std::size_t newCapacity = capacity;
    if (capacity * sizeof(VXJsonValue) < VXJsonArena::smallestMappedBlock) {
        data = static_cast<VXJsonValue*>(VXJsonArena::acquireMemory(capacity * sizeof(VXJsonValue)));
    } else {
        block = VXJsonArena::takeBlock(sizeof(VXJsonListHeader) + capacity * sizeof(VXJsonValue), keep_);
        data = reinterpret_cast<VXJsonValue*>(reinterpret_cast<char*>(block + 1) + sizeof(VXJsonListHeader));
        newCapacity = (block->size - sizeof(VXJsonListHeader)) / sizeof(VXJsonValue);
    }
    const std::size_t size = size_;
    if (size) std::memcpy(static_cast<void*>(data), static_cast<const void*>(data_), size * sizeof(VXJsonValue));
    release();
    block_ = block;
    data_ = data;
    size_ = size;
    capacity_ = newCapacity;
}

VXJsonArena::Block* VXJsonParser::ValueStack::handOver() {
    VXJsonArena::Block* block = block_;
    block_ = nullptr;
    data_ = nullptr;
    size_ = capacity_ = 0;
    return block;
}

bool VXJsonParser::enterContainer() {
    ++depth_;
    if (maxDepth() != 0 && depth_ > maxDepth()) {
        addErrorWithCode(VXJsonErrorCode::Depth, "Nested too deep");
        return false;
    }
    return true;
}

void VXJsonParser::failElements(std::size_t count) {
    for (std::size_t i = count; i-- > 0;) {
        if (frames_[i].isObject) {
            // The key being read: the last one of this object, which comes
            // right before the first key of the container inside it.
            const std::size_t k = i + 1 < frames_.size() ? frames_[i + 1].firstKey - 1 : keys_.size() - 1;
            const VXJsonKey::Header* key = keys_[k];
            addErrorWithCode(VXJsonErrorCode::Parse,
                             base::format("Object value expected for key: %@",
                                          std::string(reinterpret_cast<const char*>(key + 1), key->size)));
        } else {
            addErrorWithCode(VXJsonErrorCode::Parse, "Expected value while parsing array");
        }
    }
}

void VXJsonParser::closeContainer() {
    const Frame f = frames_.back();
    frames_.pop_back();
    --depth_;
    std::uint32_t* index = f.isObject ? dedupeKeys(f.firstValue, f.firstKey) : nullptr;
    const std::size_t n = values_.size() - f.firstValue;
    if (n == 0) {
        // An empty container takes nothing from the region.
        if (f.isObject) values_.emplace_back(VXJsonValue::Storage(VXJsonObject()));
        else values_.emplace_back(VXJsonValue::Storage(VXJsonArray()));
        return;
    }
    if (!f.isObject && f.firstValue == 0 && values_.block() && n * 2 >= values_.capacity()) {
        // An array of every value on the stack, filling most of it: the
        // region takes over the stack's block, the elements staying where
        // they are, behind the header's room before them.
        VXJsonArena::Block* block = values_.handOver();
        auto* header = reinterpret_cast<VXJsonListHeader*>(block + 1);
        header->arena = arena_;
        header->index = nullptr;
        arena_->adopt(block, sizeof(VXJsonListHeader) + n * sizeof(VXJsonValue));
        values_.emplace_back(
            VXJsonValue::Storage(VXJsonArray::inRegion(reinterpret_cast<VXJsonValue*>(header + 1), n)));
        return;
    }
    VXJsonValue* const first = values_.data() + f.firstValue;
    // Laid out in the region at its final size: the header, then the
    // elements, which take over the values' bytes.
    const std::size_t elementSize = f.isObject ? sizeof(VXJsonObject::Item) : sizeof(VXJsonValue);
    auto* header = static_cast<VXJsonListHeader*>(
        arena_->allocate(sizeof(VXJsonListHeader) + n * elementSize, alignof(VXJsonListHeader)));
    header->arena = arena_;
    header->index = index;
    if (!f.isObject) {
        auto* elements = reinterpret_cast<VXJsonValue*>(header + 1);
        std::memcpy(static_cast<void*>(elements), static_cast<const void*>(first), n * sizeof(VXJsonValue));
        values_.dropMoved(f.firstValue);
        values_.emplace_back(VXJsonValue::Storage(VXJsonArray::inRegion(elements, n)));
        return;
    }
    auto* items = reinterpret_cast<VXJsonObject::Item*>(header + 1);
    for (std::size_t i = 0; i < n; ++i) {
        auto* item = new (items + i) VXJsonObject::Item(VXJsonKey(keys_[f.firstKey + i], VXJsonKey::Shared{}), nullptr);
        item->second.v_.relocateFrom(first[i].v_);
    }
    values_.dropMoved(f.firstValue);
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(f.firstKey), keys_.end());
    VXJsonObject object;
    object.items_ = VXJsonObject::Items::inRegion(items, n);
    values_.emplace_back(VXJsonValue::Storage(std::move(object)));
}

std::uint32_t* VXJsonParser::dedupeKeys(std::size_t firstValue, std::size_t firstKey) {
    const std::size_t n = values_.size() - firstValue;
    const VXJsonKey::Header** keys = keys_.data() + firstKey;
    VXJsonValue* values = values_.data() + firstValue;
    auto text = [](const VXJsonKey::Header* key) {
        return std::string_view(reinterpret_cast<const char*>(key + 1), key->size);
    };
    auto same = [&text](const VXJsonKey::Header* a, const VXJsonKey::Header* b) {
        return a == b || text(a) == text(b);
    };
    // The later item's value takes the earlier one's place (the values lie
    // in the region or need no freeing, so their bytes are simply dropped).
    bool dropped = false;
    auto takeOver = [&](std::size_t earlier, std::size_t later) {
        std::memcpy(static_cast<void*>(&values[earlier]), static_cast<const void*>(&values[later]),
                    sizeof(VXJsonValue));
        keys[later] = nullptr;
        dropped = true;
    };
    auto compact = [&]() {
        std::size_t out = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (!keys[i]) continue;
            if (out != i) {
                keys[out] = keys[i];
                std::memcpy(static_cast<void*>(&values[out]), static_cast<const void*>(&values[i]),
                            sizeof(VXJsonValue));
            }
            ++out;
        }
        values_.dropMoved(firstValue + out);
        keys_.resize(firstKey + out);
        return out;
    };
    if (n < VXJsonObject::indexThreshold) {
        // Few keys: each is compared with those before it (the same key is
        // mostly the same block of the region).
        for (std::size_t i = 1; i < n; ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (keys[j] && same(keys[j], keys[i])) {
                    takeOver(j, i);
                    break;
                }
        if (dropped) compact();
        return nullptr;
    }
    const std::size_t slots = VXJsonObject::tableSlots(n);
    auto* table =
        static_cast<std::uint32_t*>(arena_->allocate((slots + 1) * sizeof(std::uint32_t), alignof(std::uint32_t)));
    table[0] = static_cast<std::uint32_t>(slots - 1);
    auto fill = [&](std::size_t count, bool dedupe) {
        std::memset(table + 1, 0, slots * sizeof(std::uint32_t));
        const std::size_t mask = slots - 1;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view key = text(keys[i]);
            for (std::size_t s = VXJsonObject::hashKey(key) & mask;; s = (s + 1) & mask) {
                std::uint32_t& slot = table[1 + s];
                if (slot == 0) {
                    slot = static_cast<std::uint32_t>(i + 1);
                    break;
                }
                if (dedupe && same(keys[slot - 1], keys[i])) {
                    takeOver(slot - 1, i);
                    break;
                }
            }
        }
    };
    fill(n, true);
    if (dropped) {
        // The items move up: the table is made again for their places.
        const std::size_t kept = compact();
        fill(kept, false);
    }
    return table;
}

const VXJsonKey::Header* VXJsonParser::regionKey(std::string_view text) {
    // Documents repeat their keys object after object: a key seen before is
    // found by a hash of its text, else its text goes into the region.
    std::uint32_t hash = 2166136261u;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    const VXJsonKey::Header*& slot = keyTable_[hash % keyTable_.size()];
    if (slot && slot->size == text.size() &&
        std::memcmp(reinterpret_cast<const char*>(slot + 1), text.data(), text.size()) == 0)
        return slot;
    auto* block = static_cast<VXJsonKey::Header*>(
        arena_->allocate(sizeof(VXJsonKey::Header) + text.size() + 1, alignof(VXJsonKey::Header)));
    block->size = static_cast<std::uint32_t>(text.size());
    char* chars = reinterpret_cast<char*>(block + 1);
    if (!text.empty()) std::memcpy(chars, text.data(), text.size());
    chars[text.size()] = '\0';
    slot = block;
    return block;
}

std::optional<VXJsonValue> VXJsonParser::scanValue() {
    enum class State { Value, HaveValue, ArrayNext, ObjectNext };
    State state = State::Value;
    frames_.clear();
    values_.clear();
    keys_.clear();

    // The innermost open container itself failed: it adds nothing, the
    // containers around it report their element as failed.
    auto failFrame = [&]() -> std::optional<VXJsonValue> {
        failElements(frames_.size() - 1);
        return std::nullopt;
    };
    auto fail = [&]() -> std::optional<VXJsonValue> {
        failElements(frames_.size());
        return std::nullopt;
    };

    for (;;) {
        switch (state) {
        case State::Value: {
            skipWhitespace();
            const unsigned char ch = current();
            if (c_ < end_) ++c_;
            switch (ch) {
            case 0: addErrorWithCode(VXJsonErrorCode::EndOfInput, "Unexpected end of string"); return fail();
            case '"': {
                // The characters go into the document's region.
                std::string_view text;
                if (!scanString(text)) return fail();
                char* chars = nullptr;
                if (!text.empty()) {
                    chars = static_cast<char*>(arena_->allocate(text.size(), 1));
                    std::memcpy(chars, text.data(), text.size());
                }
                values_.emplace_back(
                    VXJsonValue::Storage::regionString(chars, text.size(), text.empty() ? nullptr : arena_));
                state = State::HaveValue;
                break;
            }
            case '+': addErrorWithCode(VXJsonErrorCode::BadNumber, "Leading + disallowed in number"); return fail();
            case '-':
            case '0':
            case '1':
            case '2':
            case '3':
            case '4':
            case '5':
            case '6':
            case '7':
            case '8':
            case '9':
                --c_;
                if (!scanNumber()) return fail();
                state = State::HaveValue;
                break;
            case '[':
                if (!enterContainer()) return fail();
                frames_.push_back(Frame{false, values_.size(), keys_.size()});
                state = State::ArrayNext;
                break;
            case '{':
                if (!enterContainer()) return fail();
                frames_.push_back(Frame{true, values_.size(), keys_.size()});
                state = State::ObjectNext;
                break;
            case 't':
                if (!scanLiteral("rue", "Expected 'true'")) return fail();
                values_.emplace_back(true);
                state = State::HaveValue;
                break;
            case 'f':
                if (!scanLiteral("alse", "Expected 'false'")) return fail();
                values_.emplace_back(false);
                state = State::HaveValue;
                break;
            case 'n':
                if (!scanLiteral("ull", "Expected 'null'")) return fail();
                values_.emplace_back();
                state = State::HaveValue;
                break;
            default: addErrorWithCode(VXJsonErrorCode::Parse, "Unrecognised leading character"); return fail();
            }
            break;
        }
        case State::HaveValue: {
            if (frames_.empty()) return std::move(values_.back());
            const bool isObject = frames_.back().isObject;
            skipWhitespace();
            if (current() == ',') {
                ++c_;
                skipWhitespace();
                if (isObject && current() == '}') {
                    addErrorWithCode(VXJsonErrorCode::TrailingComma, "Trailing comma disallowed in object");
                    return failFrame();
                }
                if (!isObject && current() == ']') {
                    addErrorWithCode(VXJsonErrorCode::TrailingComma, "Trailing comma disallowed in array");
                    return failFrame();
                }
            }
            state = isObject ? State::ObjectNext : State::ArrayNext;
            break;
        }
        case State::ArrayNext:
            if (current() == 0) {
                addErrorWithCode(VXJsonErrorCode::EndOfInput, "End of input while parsing array");
                return failFrame();
            }
            skipWhitespace();
            if (current() == ']') {
                ++c_;
                closeContainer();
                state = State::HaveValue;
            } else {
                state = State::Value;
            }
            break;
        case State::ObjectNext: {
            if (current() == 0) {
                addErrorWithCode(VXJsonErrorCode::EndOfInput, "End of input while parsing object");
                return failFrame();
            }
            skipWhitespace();
            if (current() == '}') {
                ++c_;
                closeContainer();
                state = State::HaveValue;
                break;
            }
            bool haveKey = false;
            if (current() == '"') {
                ++c_;
                std::string_view text;
                haveKey = scanString(text);
                if (haveKey) keys_.push_back(regionKey(text));
            }
            if (!haveKey) {
                addErrorWithCode(VXJsonErrorCode::Parse, "Object key string expected");
                return failFrame();
            }
            skipWhitespace();
            if (current() != ':') {
                addErrorWithCode(VXJsonErrorCode::Parse, "Expected ':' separating key and value");
                return failFrame();
            }
            ++c_;
            state = State::Value;
            break;
        }
        }
    }
}

bool VXJsonParser::scanLiteral(std::string_view rest, const char* error) {
    if (static_cast<std::size_t>(end_ - c_) >= rest.size() &&
        std::string_view(reinterpret_cast<const char*>(c_), rest.size()) == rest) {
        c_ += rest.size();
        return true;
    }
    addErrorWithCode(VXJsonErrorCode::Parse, error);
    return false;
}

bool VXJsonParser::scanNumber() {
    // The digits are gathered into a binary mantissa while they are
    // checked, so that the common numbers need no second pass.
    const unsigned char* const start = c_;
    const unsigned char* const end = end_;
    const unsigned char* p = start;
    auto at = [&p, end]() -> unsigned char { return p < end ? *p : 0; };
    VXJsonNumberParts parts;
    long significant = 0;  // parts.significant, kept in a register while the digits are read
    if (at() == '-') {
        parts.negative = true;
        ++p;
    }
    // Every digit from the first non-zero one on counts as significant,
    // leading zeros of a fraction do not. Whether a non-zero digit came
    // before is told by the count, never by the mantissa: past 19 digits it
    // wraps, and may wrap to exactly zero (a multiple of 2^64).
    // Up to eight digits at a time while eight bytes follow, then one at a
    // time.
    auto digits = [&](long& places) __attribute__((always_inline)) {
        if constexpr (std::endian::native == std::endian::little) {
            while (end - p >= 8) {
                std::uint64_t x;
                std::memcpy(&x, p, sizeof x);
                const unsigned k = leadingDigits(x);
                if (k == 0) return;
                // The k digits moved to the top bytes, below them zeros:
                // the same number, spelled with eight digits.
                const std::uint64_t values = (x - 0x3030303030303030ull) << (8 * (8 - k));
                const std::uint64_t chunk = eightDigitsValue(values);
                // Until a non-zero digit came, the run counts from its first
                // non-zero one (a run of zeros, eight leading zeros, adds
                // nothing); after, every digit counts.
                significant += significant != 0 ? static_cast<long>(k) : 8 - leadingZeroDigits(values);
                parts.mantissa = parts.mantissa * powersOf10[k] + chunk;
                places += k;
                p += k;
                if (k < 8) return;
            }
        } else {
            while (end - p >= 8) {
                std::uint64_t x;
                std::memcpy(&x, p, sizeof x);
                if (!eightDigits(x)) break;
                const std::uint64_t values = x - 0x3030303030303030ull;
                const std::uint64_t chunk = eightDigitsValue(values);
                significant += significant != 0 ? 8 : 8 - leadingZeroDigits(values);
                parts.mantissa = parts.mantissa * 100000000u + chunk;
                places += 8;
                p += 8;
            }
        }
        unsigned d;
        while (p < end && (d = static_cast<unsigned>(*p) - '0') <= 9) {
            parts.mantissa = parts.mantissa * 10 + d;
            significant += significant != 0 || d != 0;
            ++places;
            ++p;
        }
    };
    long places = 0;
    if (at() == '0') {
        ++p;
        if (isDigit(at())) {
            c_ = p;
            addErrorWithCode(VXJsonErrorCode::BadNumber, "Leading 0 disallowed in number");
            return false;
        }
    } else if (!isDigit(at())) {
        c_ = p;
        addErrorWithCode(VXJsonErrorCode::BadNumber, "No digits after initial minus");
        return false;
    } else {
        digits(places);
    }
    if (at() == '.') {
        ++p;
        if (!isDigit(at())) {
            c_ = p;
            addErrorWithCode(VXJsonErrorCode::BadNumber, "No digits after decimal point");
            return false;
        }
        long fraction = 0;
        digits(fraction);
        parts.exponent -= fraction;
    }
    if (at() == 'e' || at() == 'E') {
        ++p;
        bool negativeExponent = false;
        if (at() == '+' || at() == '-') negativeExponent = *p++ == '-';
        if (!isDigit(at())) {
            c_ = p;
            addErrorWithCode(VXJsonErrorCode::BadNumber, "No digits after exponent");
            return false;
        }
        long e = 0;
        while (isDigit(at())) {
            if (e <= 100000) e = e * 10 + (*p - '0');
            ++p;
        }
        if (e > 10000) significant = 99;  // the exact slow path, as for the text
        parts.exponent += negativeExponent ? -e : e;
    }
    c_ = p;
    parts.significant = significant;
    parts.text = std::string_view(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
    // Made where it stays, a field at a time.
    base::Decimal& d = *values_.emplace_back(base::Decimal{}).v_.asNumber();
    VXJsonDecimalFromParts(parts, d);
    if (d.isNaN()) {
        // Out of the decimal's range (an exponent far beyond 127).
        values_.dropMoved(values_.size() - 1);
        addErrorWithCode(VXJsonErrorCode::BadNumber, "Failed creating decimal instance");
        return false;
    }
    return true;
}

bool VXJsonParser::scanString(std::string_view& text) {
    // Most strings hold no escape: their text is the input up to the quote.
    const unsigned char* const start = c_;
    const unsigned char* const end = end_;
    const unsigned char* p = start;
    for (;;) {
        p = skipPlainAscii(p, end);
        if (p == end) break;
        const unsigned char b = *p;
        if (b < 0x80) {
            if (b < 0x20 || b == '"' || b == '\\') break;
            ++p;
            continue;
        }
        const std::size_t n = utf8SequenceLength(p, end);
        if (n == 0) break;  // reported by the full scan below
        p += n;
    }
    if (p < end && *p == '"') {
        text = std::string_view(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
        c_ = p + 1;
    } else {
        scratch_.clear();
        if (!scanRestOfString(scratch_)) return false;
        text = scratch_;
    }
    if (text.size() > 0xFFFFFFFFu) {
        addErrorWithCode(VXJsonErrorCode::Parse, "String too long");
        return false;
    }
    return true;
}

bool VXJsonParser::scanRestOfString(std::string& out) {
    do {
        // The longest run that needs no decoding goes in at once; plain
        // ASCII is passed over eight bytes at a time.
        const unsigned char* const start = c_;
        const unsigned char* const end = end_;
        const unsigned char* p = start;
        while (p < end) {
            p = skipPlainAscii(p, end);
            if (p == end) break;
            const unsigned char b = *p;
            if (b < 0x20 || b == '"' || b == '\\') break;
            if (b < 0x80) {
                ++p;
                continue;
            }
            const std::size_t n = utf8SequenceLength(p, end);
            if (n == 0) {
                c_ = p;
                addErrorWithCode(VXJsonErrorCode::Unicode, "Broken unicode character");
                return false;
            }
            p += n;
        }
        c_ = p;
        out.append(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));

        const unsigned char b = current();
        if (b == '"') {
            ++c_;
            return true;
        }
        if (b == '\\') {
            ++c_;
            const unsigned char e = current();
            switch (e) {
            case '"':
            case '\\':
            case '/': out += static_cast<char>(e); break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                ++c_;
                unsigned cp = 0;
                if (!scanUnicodeChar(cp)) {
                    addErrorWithCode(VXJsonErrorCode::Unicode, "Broken unicode character");
                    return false;
                }
                base::appendUTF8(out, cp);
                continue;  // the position is already past the escape
            }
            default: {
                // Name the character after the backslash by its code point.
                unsigned code = e;
                if (e >= 0x80) {
                    const std::size_t n = utf8SequenceLength(c_, end_);
                    if (n) code = decodeUTF8(c_, n);
                }
                addErrorWithCode(VXJsonErrorCode::Escape, base::format("Illegal escape sequence '0x%x'", code));
                return false;
            }
            }
            ++c_;
        } else {
            addErrorWithCode(VXJsonErrorCode::ControlCharacter,
                             base::format("Unescaped control character '0x%x'", static_cast<unsigned>(b)));
            return false;
        }
    } while (current() != 0);
    addErrorWithCode(VXJsonErrorCode::EndOfInput, "Unexpected EOF while parsing string");
    return false;
}

bool VXJsonParser::scanHexQuad(unsigned& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const int h = hexValue(current());
        if (h < 0) {
            addErrorWithCode(VXJsonErrorCode::Unicode, "Missing hex digit in quad");
            return false;
        }
        value = value * 16 + static_cast<unsigned>(h);
        ++c_;
    }
    return true;
}

bool VXJsonParser::scanUnicodeChar(unsigned& codePoint) {
    unsigned hi = 0;
    if (!scanHexQuad(hi)) {
        addErrorWithCode(VXJsonErrorCode::Unicode, "Missing hex quad");
        return false;
    }
    if (hi >= 0xD800 && hi <= 0xDBFF) {
        unsigned lo = 0;
        bool haveLow = false;
        if (current() == '\\' && end_ - c_ >= 2 && c_[1] == 'u') {
            c_ += 2;
            haveLow = scanHexQuad(lo);
        }
        if (!haveLow) {
            addErrorWithCode(VXJsonErrorCode::Unicode, "Missing low character in surrogate pair");
            return false;
        }
        if (lo < 0xDC00 || lo > 0xDFFF) {
            addErrorWithCode(VXJsonErrorCode::Unicode, "Invalid low surrogate char");
            return false;
        }
        codePoint = 0x10000 + (hi - 0xD800) * 0x400 + (lo - 0xDC00);
    } else if (hi >= 0xDC00 && hi <= 0xDFFF) {
        addErrorWithCode(VXJsonErrorCode::Unicode, "Invalid high character in surrogate pair");
        return false;
    } else {
        codePoint = hi;
    }
    return true;
}
