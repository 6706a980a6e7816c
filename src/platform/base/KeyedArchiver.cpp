#include "platform/base/KeyedArchiver.h"

#include <mutex>

#include "platform/base/Exception.h"

namespace base {

namespace {

constexpr const char* kArchiverName = "tolvek.KeyedArchiver";
constexpr const char* kClassKey = "$class";
constexpr const char* kRefKey = "$ref";

Value reference(std::size_t index) { return Value(Dictionary{{kRefKey, Value(static_cast<long long>(index))}}); }

// The index of a reference value, or nullopt when the value is not one.
std::optional<long long> referenceIndex(const Value& v) {
    const Dictionary* d = v.asDictionary();
    if (!d || d->size() != 1) return std::nullopt;
    const Value* ref = d->find(kRefKey);
    if (!ref || ref->type() != Value::Type::Integer) return std::nullopt;
    return ref->integerValue();
}

struct Registry {
    std::mutex mutex;
    std::map<std::string, KeyedUnarchiver::Factory> factories;
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

// ---- KeyedArchiver ----

KeyedArchiver::KeyedArchiver() { objects_.emplace_back(); }

Dictionary& KeyedArchiver::current() {
    if (stack_.empty())
        raise("NSInvalidArchiveOperationException", "values can only be encoded inside an object's encoding");
    return objects_[stack_.back()];
}

std::size_t KeyedArchiver::indexFor(const std::shared_ptr<const Coding>& object) {
    if (!object) return 0;
    auto found = indices_.find(object.get());
    if (found != indices_.end()) return found->second;
    std::size_t index = objects_.size();
    indices_[object.get()] = index;
    keepAlive_.push_back(object);  // addresses stay unique while archiving
    Dictionary entry;
    entry.set(kClassKey, Value(object->classForCoder()));
    objects_.push_back(std::move(entry));
    stack_.push_back(index);
    object->encodeWithCoder(*this);
    stack_.pop_back();
    return index;
}

void KeyedArchiver::encodeObject(const std::shared_ptr<const Coding>& object, const std::string& key) {
    current();  // checks that an object is being encoded
    std::size_t owner = stack_.back();
    std::size_t index = indexFor(object);
    objects_[owner].set(key, reference(index));
}

void KeyedArchiver::encodeConditionalObject(const Coding* object, const std::string& key) {
    current();
    if (!object) return;
    conditionals_.push_back({stack_.back(), key, object});
}

void KeyedArchiver::encodeBool(bool value, const std::string& key) { current().set(key, Value(value)); }
void KeyedArchiver::encodeInteger(long long value, const std::string& key) { current().set(key, Value(value)); }
void KeyedArchiver::encodeFloat(float value, const std::string& key) {
    current().set(key, Value(static_cast<double>(value)));
}
void KeyedArchiver::encodeDouble(double value, const std::string& key) { current().set(key, Value(value)); }
void KeyedArchiver::encodeString(const std::string& value, const std::string& key) { current().set(key, Value(value)); }
void KeyedArchiver::encodeData(const Data& value, const std::string& key) { current().set(key, Value(value)); }
void KeyedArchiver::encodeValue(const Value& value, const std::string& key) {
    // Property lists have no null: a null value is left out (and reads null).
    Dictionary& d = current();
    if (!value.isNull()) d.set(key, value);
}
void KeyedArchiver::encodeDecimal(const Decimal& value, const std::string& key) {
    current().set(key, Value(value.toString()));
}

Value KeyedArchiver::archiveRootObject(const std::shared_ptr<const Coding>& root) {
    std::size_t rootIndex = indexFor(root);
    // Conditional references resolve only to objects that made it in.
    for (const auto& pending : conditionals_) {
        auto found = indices_.find(pending.target);
        if (found != indices_.end()) objects_[pending.objectIndex].set(pending.key, reference(found->second));
    }
    Array objects;
    objects.reserve(objects_.size());
    objects.emplace_back("$null");
    for (std::size_t i = 1; i < objects_.size(); ++i) objects.emplace_back(objects_[i]);
    Dictionary archive;
    archive.set("$archiver", Value(kArchiverName));
    archive.set("$version", Value(1));
    archive.set("$top", Value(Dictionary{{"root", reference(rootIndex)}}));
    archive.set("$objects", Value(std::move(objects)));
    return Value(std::move(archive));
}

Data KeyedArchiver::archivedDataWithRootObject(const std::shared_ptr<const Coding>& root) {
    KeyedArchiver archiver;
    return archiver.archiveRootObject(root).toBinaryPlist();
}

// ---- KeyedUnarchiver ----

void KeyedUnarchiver::registerClass(const std::string& className, Factory factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.factories[className] = std::move(factory);
}

bool KeyedUnarchiver::isClassRegistered(const std::string& className) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.factories.count(className) != 0;
}

KeyedUnarchiver::KeyedUnarchiver(const Value& archive) {
    const Dictionary* top = archive.asDictionary();
    if (!top) return;
    const std::string* name = top->get("$archiver").asString();
    const Array* objects = top->get("$objects").asArray();
    const Dictionary* roots = top->get("$top").asDictionary();
    if (!name || *name != kArchiverName || !objects || !roots) return;
    objects_ = *objects;
    rootReference_ = roots->get("root");
}

const Value* KeyedUnarchiver::currentValue(const std::string& key) const {
    if (stack_.empty()) return nullptr;
    const Dictionary* d = objects_[static_cast<std::size_t>(stack_.back())].asDictionary();
    if (!d || key == kClassKey) return nullptr;
    return d->find(key);
}

bool KeyedUnarchiver::containsValueForKey(const std::string& key) const { return currentValue(key) != nullptr; }

std::shared_ptr<Coding> KeyedUnarchiver::objectAt(long long index) {
    if (index <= 0 || index >= static_cast<long long>(objects_.size())) return nullptr;
    auto found = decoded_.find(index);
    if (found != decoded_.end()) return found->second;  // shared, or being decoded (a cycle)
    const Dictionary* entry = objects_[static_cast<std::size_t>(index)].asDictionary();
    if (!entry) return nullptr;
    const std::string* className = entry->get(kClassKey).asString();
    if (!className) return nullptr;
    Factory factory;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto f = r.factories.find(*className);
        if (f == r.factories.end()) return nullptr;
        factory = f->second;
    }
    std::shared_ptr<Coding> object = factory();
    if (!object) return nullptr;
    decoded_[index] = object;
    stack_.push_back(index);
    std::shared_ptr<Coding> replacement;
    try {
        replacement = object->initWithCoder(*this);
    } catch (...) {
        stack_.pop_back();
        decoded_.erase(index);
        throw;
    }
    stack_.pop_back();
    if (replacement) decoded_[index] = replacement;
    return decoded_[index];
}

std::shared_ptr<Coding> KeyedUnarchiver::decodeObject(const std::string& key) {
    const Value* v = currentValue(key);
    if (!v) return nullptr;
    auto index = referenceIndex(*v);
    if (!index) return nullptr;
    return objectAt(*index);
}

bool KeyedUnarchiver::decodeBool(const std::string& key) const {
    const Value* v = currentValue(key);
    return v && v->isNumber() && v->boolValue();
}

long long KeyedUnarchiver::decodeInteger(const std::string& key) const {
    const Value* v = currentValue(key);
    return v && v->isNumber() ? v->integerValue() : 0;
}

float KeyedUnarchiver::decodeFloat(const std::string& key) const { return static_cast<float>(decodeDouble(key)); }

double KeyedUnarchiver::decodeDouble(const std::string& key) const {
    const Value* v = currentValue(key);
    return v && v->isNumber() ? v->doubleValue() : 0.0;
}

std::string KeyedUnarchiver::decodeString(const std::string& key) const {
    const Value* v = currentValue(key);
    const std::string* s = v ? v->asString() : nullptr;
    return s ? *s : std::string();
}

Data KeyedUnarchiver::decodeData(const std::string& key) const {
    const Value* v = currentValue(key);
    const Data* d = v ? v->asData() : nullptr;
    return d ? *d : Data();
}

Value KeyedUnarchiver::decodeValue(const std::string& key) const {
    const Value* v = currentValue(key);
    if (!v || referenceIndex(*v)) return Value();
    return *v;
}

Decimal KeyedUnarchiver::decodeDecimal(const std::string& key) const {
    const Value* v = currentValue(key);
    if (!v) return Decimal::notANumber();
    switch (v->type()) {
    case Value::Type::String: return Decimal::fromString(*v->asString());
    case Value::Type::Integer: return Decimal::fromInteger(v->integerValue());
    case Value::Type::Real: return Decimal::fromDouble(v->doubleValue());
    default: return Decimal::notANumber();
    }
}

std::shared_ptr<Coding> KeyedUnarchiver::decodeRootObject() {
    auto index = referenceIndex(rootReference_);
    if (!index) return nullptr;
    return objectAt(*index);
}

std::shared_ptr<Coding> KeyedUnarchiver::unarchiveObjectWithData(const Data& data) {
    auto plist = Value::fromPlist(data);
    if (!plist) return nullptr;
    KeyedUnarchiver unarchiver(*plist);
    return unarchiver.decodeRootObject();
}

}  // namespace base
