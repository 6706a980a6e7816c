#pragma once
// Creates objects from a class name, for code that keeps class names in
// settings and files (sharers, for one). Classes are registered by explicit
// calls, never by static initialisers, so what exists is plain to see.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace base {

template <class Base>
class ClassRegistry {
public:
    using Factory = std::function<std::shared_ptr<Base>()>;

    // The registry of this base class.
    static ClassRegistry& shared() {
        static ClassRegistry registry;
        return registry;
    }

    // Registers (or replaces) the factory of a class name.
    void registerClass(const std::string& name, Factory factory) {
        std::lock_guard lock(mutex_);
        factories_[name] = std::move(factory);
    }

    // Shorthand for a default-constructible class.
    template <class Derived>
    void registerClass(const std::string& name) {
        registerClass(name, [] { return std::static_pointer_cast<Base>(std::make_shared<Derived>()); });
    }

    bool unregisterClass(const std::string& name) {
        std::lock_guard lock(mutex_);
        return factories_.erase(name) > 0;
    }

    bool contains(const std::string& name) const {
        std::lock_guard lock(mutex_);
        return factories_.count(name) > 0;
    }

    // A new object of the named class; nullptr when the name is unknown.
    std::shared_ptr<Base> create(const std::string& name) const {
        Factory factory;
        {
            std::lock_guard lock(mutex_);
            auto it = factories_.find(name);
            if (it == factories_.end() || !it->second) return nullptr;
            factory = it->second;
        }
        return factory();  // outside the lock: a constructor may use the registry
    }

    // Registered names, sorted.
    std::vector<std::string> names() const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> out;
        out.reserve(factories_.size());
        for (const auto& entry : factories_) out.push_back(entry.first);
        return out;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, Factory> factories_;
};

}  // namespace base
