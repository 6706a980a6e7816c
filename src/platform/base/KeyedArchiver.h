#pragma once
// Keyed archiving of an object graph into a property list.
//
// An archive lists every object once; references to it are indices, so an
// object reached twice decodes as one shared object. A conditional object is
// written only when some other part of the graph encodes it outright (back
// pointers such as a layer's graph). Reading a missing key gives 0, false,
// an empty value, nullptr or a not-a-number decimal.
//
// Archive layout (a binary property list):
//   { "$archiver": "tolvek.KeyedArchiver", "$version": 1,
//     "$top": { "root": {"$ref": n} },
//     "$objects": [ "$null", { "$class": "Name", key: value ... }, ... ] }
// An object reference is a one-entry dictionary {"$ref": index}.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/Decimal.h"
#include "platform/base/Value.h"

namespace base {

class KeyedArchiver;
class KeyedUnarchiver;

// An object that can be written to and read from a keyed archive.
class Coding {
public:
    virtual ~Coding() = default;
    // The class name recorded in the archive; private subclasses answer the
    // public class they stand for.
    virtual std::string classForCoder() const = 0;
    virtual void encodeWithCoder(KeyedArchiver& coder) const = 0;
    // Reads the receiver's fields. The receiver was made by the class's
    // registered factory; it may answer another object to stand in for it
    // (a class cluster picking its concrete kind); nullptr keeps the receiver.
    virtual std::shared_ptr<Coding> initWithCoder(KeyedUnarchiver& coder) = 0;
};

class KeyedArchiver {
public:
    KeyedArchiver();

    void encodeObject(const std::shared_ptr<const Coding>& object, const std::string& key);
    // Written only when the object is also encoded unconditionally somewhere
    // in the archive; otherwise the key is left out.
    void encodeConditionalObject(const Coding* object, const std::string& key);
    void encodeBool(bool value, const std::string& key);
    void encodeInteger(long long value, const std::string& key);
    void encodeFloat(float value, const std::string& key);
    void encodeDouble(double value, const std::string& key);
    void encodeString(const std::string& value, const std::string& key);
    void encodeData(const Data& value, const std::string& key);
    // Plain property-list values (numbers, strings, arrays of them ...).
    void encodeValue(const Value& value, const std::string& key);
    // Exact text of the decimal ("NaN" for not-a-number).
    void encodeDecimal(const Decimal& value, const std::string& key);

    // Finishes the archive with the given root object.
    Value archiveRootObject(const std::shared_ptr<const Coding>& root);

    // The archive of root as a binary property list.
    static Data archivedDataWithRootObject(const std::shared_ptr<const Coding>& root);

private:
    std::size_t indexFor(const std::shared_ptr<const Coding>& object);
    Dictionary& current();

    struct PendingConditional {
        std::size_t objectIndex;
        std::string key;
        const Coding* target;
    };
    std::vector<Dictionary> objects_;  // index 0 is the null placeholder
    std::unordered_map<const Coding*, std::size_t> indices_;
    std::vector<std::shared_ptr<const Coding>> keepAlive_;
    std::vector<std::size_t> stack_;
    std::vector<PendingConditional> conditionals_;
};

class KeyedUnarchiver {
public:
    using Factory = std::function<std::shared_ptr<Coding>()>;

    // Factories by class name, filled by explicit registration at start-up.
    static void registerClass(const std::string& className, Factory factory);
    static bool isClassRegistered(const std::string& className);

    // An unarchiver over a finished archive; an archive that is not one of
    // ours leaves it empty (every object reads nullptr).
    explicit KeyedUnarchiver(const Value& archive);

    bool containsValueForKey(const std::string& key) const;
    std::shared_ptr<Coding> decodeObject(const std::string& key);
    template <class T>
    std::shared_ptr<T> decodeObjectOfType(const std::string& key) {
        return std::dynamic_pointer_cast<T>(decodeObject(key));
    }
    bool decodeBool(const std::string& key) const;
    long long decodeInteger(const std::string& key) const;
    float decodeFloat(const std::string& key) const;
    double decodeDouble(const std::string& key) const;
    std::string decodeString(const std::string& key) const;
    Data decodeData(const std::string& key) const;
    // The raw value under the key (null when missing or an object reference).
    Value decodeValue(const std::string& key) const;
    // A decimal text or a number gives its decimal; anything else, a missing
    // key included, gives not-a-number.
    Decimal decodeDecimal(const std::string& key) const;

    // The root object, or nullptr (unknown class, malformed archive).
    std::shared_ptr<Coding> decodeRootObject();

    // Reads a binary or XML property-list archive; nullptr when it cannot.
    static std::shared_ptr<Coding> unarchiveObjectWithData(const Data& data);
    template <class T>
    static std::shared_ptr<T> unarchiveObjectOfType(const Data& data) {
        return std::dynamic_pointer_cast<T>(unarchiveObjectWithData(data));
    }

private:
    std::shared_ptr<Coding> objectAt(long long index);
    const Value* currentValue(const std::string& key) const;

    Array objects_;
    Value rootReference_;
    std::map<long long, std::shared_ptr<Coding>> decoded_;
    std::vector<long long> stack_;
};

}  // namespace base
