#pragma once
// Where the remote services live. Each service's scheme, host and port come
// from the bundle's "services.plist" (a dictionary of service name to a
// dictionary with "scheme", "host" and "port"), never from literals in the
// code, so a test can point a service at the loopback fake. A service that
// is reached over two schemes has two entries.
#include <optional>
#include <string>

#include "platform/net/URL.h"

namespace net {

struct ServiceAddress {
    std::string scheme = "https";
    std::string host;
    int port = 0;  // 0: the scheme's default port

    // "scheme://host[:port]" (the port only when it is not the default).
    std::string baseURL() const;
};

class Services {
public:
    // The address of a service, or nullopt when the configuration lacks it.
    static std::optional<ServiceAddress> address(const std::string& service);
    // The URL of path (with query, beginning with "/") at the service. An
    // unknown service raises base::Exception{"NSInvalidArgumentException"}.
    static URL url(const std::string& service, const std::string& pathAndQuery);

    // Reads the configuration from another file (tests); false when it cannot
    // be read, leaving the configuration as it was.
    static bool loadFromFileForTesting(const std::string& path);
    // Replaces one service's address until resetForTesting() (tests).
    static void setAddressForTesting(const std::string& service, const ServiceAddress& address);
    // Points a service at http://127.0.0.1:port.
    static void pointAtLoopbackForTesting(const std::string& service, int port);
    // Forgets overrides and loaded files; the bundle's file is read again.
    static void resetForTesting();
};

}  // namespace net
