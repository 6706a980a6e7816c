#include "sharing/json/VXJsonValue.h"

#include <algorithm>


std::optional<VXJsonValue> VXJsonCustom::proxyForJson() const {
    return std::nullopt;
}

// ---- VXJsonObject ----

VXJsonObject::VXJsonObject(std::initializer_list<Item> items) {
    for (const auto& item : items)
        set(item.first, item.second);
}

VXJsonObject::VXJsonObject(const VXJsonObject& other) : items_(other.items_) {
    if (other.index_)
        index_ = std::make_unique<std::unordered_map<std::string, std::size_t>>(*other.index_);
}

VXJsonObject::VXJsonObject(VXJsonObject&& other) noexcept
    : items_(std::move(other.items_)), index_(std::move(other.index_)) {
    other.items_.clear();
}

VXJsonObject& VXJsonObject::operator=(const VXJsonObject& other) {
    if (this != &other) {
        VXJsonObject copy(other);
        *this = std::move(copy);
    }
    return *this;
}

VXJsonObject& VXJsonObject::operator=(VXJsonObject&& other) noexcept {
    if (this != &other) {
        // The old items may hold the new ones; keep them alive until the swap.
        Items old = std::move(items_);
        items_ = std::move(other.items_);
        index_ = std::move(other.index_);
        other.items_.clear();
    }
    return *this;
}

VXJsonObject::~VXJsonObject() = default;

std::size_t VXJsonObject::indexOf(std::string_view key) const {
    if (index_) {
        const auto it = index_->find(std::string(key));
        return it == index_->end() ? npos : it->second;
    }
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].first == key)
            return i;
    return npos;
}

void VXJsonObject::rebuildIndex() {
    if (items_.size() < indexThreshold) {
        index_.reset();
        return;
    }
    if (!index_)
        index_ = std::make_unique<std::unordered_map<std::string, std::size_t>>();
    index_->clear();
    index_->reserve(items_.size() * 2);
    for (std::size_t i = 0; i < items_.size(); ++i)
        (*index_)[items_[i].first] = i;
}

const VXJsonValue* VXJsonObject::find(std::string_view key) const {
    const std::size_t i = indexOf(key);
    return i == npos ? nullptr : &items_[i].second;
}

VXJsonValue* VXJsonObject::find(std::string_view key) {
    const std::size_t i = indexOf(key);
    return i == npos ? nullptr : &items_[i].second;
}

void VXJsonObject::set(std::string key, VXJsonValue value) {
    const std::size_t i = indexOf(key);
    if (i != npos) {
        items_[i].second = std::move(value);
        return;
    }
    if (index_)
        index_->emplace(key, items_.size());
    items_.emplace_back(std::move(key), std::move(value));
    if (!index_ && items_.size() >= indexThreshold)
        rebuildIndex();
}

bool VXJsonObject::remove(std::string_view key) {
    const std::size_t i = indexOf(key);
    if (i == npos)
        return false;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    if (index_)
        rebuildIndex();
    return true;
}

void VXJsonObject::clear() {
    Items old = std::move(items_);
    items_.clear();
    index_.reset();
}

std::vector<std::string> VXJsonObject::keys() const {
    std::vector<std::string> out;
    out.reserve(items_.size());
    for (const auto& item : items_)
        out.push_back(item.first);
    return out;
}

// ---- VXJsonValue ----

VXJsonValue::VXJsonValue(VXJsonArray v) : v_(std::make_shared<VXJsonArray>(std::move(v))) {}

VXJsonValue::VXJsonValue(VXJsonObject v) : v_(std::make_shared<VXJsonObject>(std::move(v))) {}

VXJsonValue& VXJsonValue::operator=(const VXJsonValue& other) {
    // other may live inside this value: copy it before the old one goes.
    VXJsonValue copy(other);
    std::swap(v_, copy.v_);
    return *this;
}

VXJsonValue& VXJsonValue::operator=(VXJsonValue&& other) noexcept {
    VXJsonValue taken(std::move(other));
    std::swap(v_, taken.v_);
    return *this;
}

VXJsonValue::~VXJsonValue() {
    if (v_.index() == 4 || v_.index() == 5)
        releaseChildren();
}

void VXJsonValue::releaseChildren() {
    std::vector<VXJsonValue> pending;
    auto take = [&pending](Storage& s) {
        if (auto* a = std::get_if<ArrayPtr>(&s)) {
            if (*a && a->use_count() == 1 && !(*a)->empty()) {
                for (auto& child : **a)
                    if (child.v_.index() == 4 || child.v_.index() == 5)
                        pending.push_back(std::move(child));
                (*a)->clear();
            }
        } else if (auto* o = std::get_if<ObjectPtr>(&s)) {
            if (*o && o->use_count() == 1 && !(*o)->empty()) {
                for (auto& item : (*o)->items_)
                    if (item.second.v_.index() == 4 || item.second.v_.index() == 5)
                        pending.push_back(std::move(item.second));
                (*o)->items_.clear();
                (*o)->index_.reset();
            }
        }
    };
    take(v_);
    while (!pending.empty()) {
        VXJsonValue v = std::move(pending.back());
        pending.pop_back();
        take(v.v_);
        // v now holds an empty container (or a shared one, which another
        // value keeps alive), so destroying it goes no deeper.
    }
}

const VXJsonArray* VXJsonValue::asArray() const {
    const auto* p = std::get_if<ArrayPtr>(&v_);
    return p ? p->get() : nullptr;
}

VXJsonArray* VXJsonValue::asArray() {
    auto* p = std::get_if<ArrayPtr>(&v_);
    if (!p)
        return nullptr;
    if (p->use_count() > 1)
        *p = std::make_shared<VXJsonArray>(**p);
    return p->get();
}

const VXJsonObject* VXJsonValue::asObject() const {
    const auto* p = std::get_if<ObjectPtr>(&v_);
    return p ? p->get() : nullptr;
}

VXJsonObject* VXJsonValue::asObject() {
    auto* p = std::get_if<ObjectPtr>(&v_);
    if (!p)
        return nullptr;
    if (p->use_count() > 1)
        *p = std::make_shared<VXJsonObject>(**p);
    return p->get();
}

const VXJsonValue& VXJsonValue::operator[](std::string_view key) const {
    static const VXJsonValue null;
    const VXJsonObject* o = asObject();
    if (!o)
        return null;
    const VXJsonValue* v = o->find(key);
    return v ? *v : null;
}

bool VXJsonValue::operator==(const VXJsonValue& other) const {
    std::vector<std::pair<const VXJsonValue*, const VXJsonValue*>> work;
    work.emplace_back(this, &other);
    while (!work.empty()) {
        const auto [a, b] = work.back();
        work.pop_back();
        if (a->v_.index() != b->v_.index())
            return false;
        switch (a->type()) {
        case Type::Null:
            break;
        case Type::Bool:
            if (*a->asBool() != *b->asBool())
                return false;
            break;
        case Type::Number:
            if (!(*a->asNumber() == *b->asNumber()))
                return false;
            break;
        case Type::String:
            if (*a->asString() != *b->asString())
                return false;
            break;
        case Type::Array: {
            const VXJsonArray& x = *a->asArray();
            const VXJsonArray& y = *b->asArray();
            if (&x == &y)
                break;
            if (x.size() != y.size())
                return false;
            for (std::size_t i = 0; i < x.size(); ++i)
                work.emplace_back(&x[i], &y[i]);
            break;
        }
        case Type::Object: {
            const VXJsonObject& x = *a->asObject();
            const VXJsonObject& y = *b->asObject();
            if (&x == &y)
                break;
            if (x.size() != y.size())
                return false;
            for (const auto& [key, value] : x) {
                const VXJsonValue* match = y.find(key);
                if (!match)
                    return false;
                work.emplace_back(&value, match);
            }
            break;
        }
        case Type::Custom:
            if (a->asCustom()->get() != b->asCustom()->get())
                return false;
            break;
        }
    }
    return true;
}

std::string VXJsonValue::description() const {
    switch (type()) {
    case Type::Null:
        return "null";
    case Type::Bool:
        return *asBool() ? "true" : "false";
    case Type::Number:
        return asNumber()->toString();
    case Type::String:
        return *asString();
    case Type::Array:
        return "array of " + std::to_string(asArray()->size()) + " elements";
    case Type::Object:
        return "object of " + std::to_string(asObject()->size()) + " keys";
    case Type::Custom:
        return (*asCustom())->className();
    }
    return {};
}
