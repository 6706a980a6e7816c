#include "platform/net/Services.h"

#include <map>
#include <mutex>

#include "platform/base/Bundle.h"
#include "platform/base/Exception.h"
#include "platform/base/FileManager.h"
#include "platform/base/Log.h"
#include "platform/base/Value.h"

namespace net {
namespace {

struct Registry {
    std::mutex mutex;
    bool loaded = false;
    std::map<std::string, ServiceAddress> configured;  // from the file
    std::map<std::string, ServiceAddress> overrides;   // set by tests
};

Registry& registry() {
    static Registry r;
    return r;
}

std::optional<std::map<std::string, ServiceAddress>> readFile(const std::string& path) {
    auto bytes = base::FileManager::defaultManager().contentsAtPath(path);
    if (!bytes) return std::nullopt;
    std::string why;
    auto value = base::Value::fromPlist(*bytes, &why);
    if (!value || !value->asDictionary()) {
        base::log("services: cannot read " + path + (why.empty() ? "" : ": " + why));
        return std::nullopt;
    }
    std::map<std::string, ServiceAddress> out;
    for (const auto& [name, entry] : *value->asDictionary()) {
        if (!entry.asDictionary()) continue;
        ServiceAddress a;
        if (const std::string* s = entry["scheme"].asString()) a.scheme = *s;
        if (const std::string* h = entry["host"].asString()) a.host = *h;
        a.port = static_cast<int>(entry["port"].integerValue());
        if (a.host.empty()) continue;
        out[name] = a;
    }
    return out;
}

// Reads the bundle's file the first time (lock held).
void ensureLoaded(Registry& r) {
    if (r.loaded) return;
    r.loaded = true;
    auto path = base::Bundle::mainBundle().pathForResource("services", "plist");
    if (!path) {
        base::log("services: services.plist is missing from the bundle");
        return;
    }
    if (auto entries = readFile(*path)) r.configured = std::move(*entries);
}

}  // namespace

std::string ServiceAddress::baseURL() const {
    std::string text = scheme + "://" + host;
    bool defaultPort = port == 0 || (scheme == "http" && port == 80) || (scheme == "https" && port == 443);
    if (!defaultPort) text += ":" + std::to_string(port);
    return text;
}

std::optional<ServiceAddress> Services::address(const std::string& service) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.overrides.find(service); it != r.overrides.end()) return it->second;
    ensureLoaded(r);
    if (auto it = r.configured.find(service); it != r.configured.end()) return it->second;
    return std::nullopt;
}

URL Services::url(const std::string& service, const std::string& pathAndQuery) {
    auto a = address(service);
    if (!a) base::raise("NSInvalidArgumentException", "no address configured for the service " + service);
    std::string path = pathAndQuery;
    if (path.empty() || path[0] != '/') path = "/" + path;
    return URL(a->baseURL() + path);
}

bool Services::loadFromFileForTesting(const std::string& path) {
    auto entries = readFile(path);
    if (!entries) return false;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.loaded = true;
    r.configured = std::move(*entries);
    return true;
}

void Services::setAddressForTesting(const std::string& service, const ServiceAddress& address) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.overrides[service] = address;
}

void Services::pointAtLoopbackForTesting(const std::string& service, int port) {
    setAddressForTesting(service, ServiceAddress{"http", "127.0.0.1", port});
}

void Services::resetForTesting() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.overrides.clear();
    r.configured.clear();
    r.loaded = false;
}

}  // namespace net
