#include "sharing/core/Reachability.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <sstream>

namespace {
std::mutex overrideMutex;
std::optional<NetworkStatus> overrideStatus;

// A default route (destination 0.0.0.0) of an interface that is up.
bool hasDefaultRoute() {
    std::ifstream routes("/proc/net/route");
    if (!routes) return false;
    std::string line;
    std::getline(routes, line);  // header
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string iface, destination, gateway;
        unsigned flags = 0;
        if (!(fields >> iface >> destination >> gateway >> std::hex >> flags)) continue;
        if (destination == "00000000" && (flags & 0x1)) return true;  // RTF_UP
    }
    std::ifstream routes6("/proc/net/ipv6_route");
    while (std::getline(routes6, line)) {
        // destination prefix length 00 with an up flag: a default route.
        std::istringstream fields(line);
        std::string destination, prefix, src, srcPrefix, nextHop, metric, refs, use, flagText, iface;
        if (!(fields >> destination >> prefix >> src >> srcPrefix >> nextHop >> metric >> refs >> use >> flagText >>
              iface))
            continue;
        if (prefix == "00" && iface != "lo" && (std::stoul(flagText, nullptr, 16) & 0x1)) return true;
    }
    return false;
}

// Some interface other than loopback is up and running with an address.
bool hasUpInterface(bool linkLocalOnly) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool found = false;
    for (ifaddrs* it = list; it && !found; it = it->ifa_next) {
        if (!it->ifa_addr || (it->ifa_flags & IFF_LOOPBACK) || !(it->ifa_flags & IFF_UP) ||
            !(it->ifa_flags & IFF_RUNNING))
            continue;
        const int family = it->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        if (linkLocalOnly) {
            if (family != AF_INET) continue;
            const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
            const std::uint32_t address = ntohl(in->sin_addr.s_addr);
            if ((address & 0xFFFF0000u) != 0xA9FE0000u) continue;  // 169.254.0.0/16
        }
        found = true;
    }
    freeifaddrs(list);
    return found;
}
}  // namespace

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection() {
    return std::make_shared<Reachability>();
}

std::shared_ptr<Reachability> Reachability::reachabilityForLocalWiFi() {
    auto r = std::make_shared<Reachability>();
    r->localWiFiRef_ = true;
    return r;
}

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(const std::string& hostName) {
    if (hostName.empty()) return nullptr;
    auto r = std::make_shared<Reachability>();
    r->hostName_ = hostName;
    return r;
}

bool Reachability::getFlags(std::uint32_t* flags) const {
    std::uint32_t out = 0;
    if (auto forced = statusOverride()) {
        if (*forced == ReachableViaWWAN) out = ReachabilityFlags::Reachable | ReachabilityFlags::IsWWAN;
        else if (*forced == ReachableViaWiFi) out = ReachabilityFlags::Reachable | ReachabilityFlags::IsDirect;
    } else if (localWiFiRef_) {
        if (hasUpInterface(true)) out = ReachabilityFlags::Reachable | ReachabilityFlags::IsDirect;
    } else if (hasDefaultRoute() || hasUpInterface(false)) {
        out = ReachabilityFlags::Reachable;
    }
    if (flags) *flags = out;
    return true;
}

NetworkStatus Reachability::currentReachabilityStatus() const {
    std::uint32_t flags = 0;
    if (!getFlags(&flags)) return NotReachable;
    return localWiFiRef_ ? localWiFiStatusForFlags(flags) : networkStatusForFlags(flags);
}

bool Reachability::connectionRequired() const {
    std::uint32_t flags = 0;
    return getFlags(&flags) && (flags & ReachabilityFlags::ConnectionRequired);
}

NetworkStatus Reachability::networkStatusForFlags(std::uint32_t flags) {
    using namespace ReachabilityFlags;
    if (!(flags & Reachable)) return NotReachable;
    if (flags & IsWWAN) return ReachableViaWWAN;
    if (!(flags & ConnectionRequired)) return ReachableViaWiFi;
    if ((flags & (ConnectionOnTraffic | ConnectionOnDemand)) && !(flags & InterventionRequired))
        return ReachableViaWiFi;
    return NotReachable;
}

NetworkStatus Reachability::localWiFiStatusForFlags(std::uint32_t flags) {
    using namespace ReachabilityFlags;
    return (flags & Reachable) && (flags & IsDirect) ? ReachableViaWiFi : NotReachable;
}

void Reachability::setStatusOverrideForTesting(std::optional<NetworkStatus> status) {
    std::lock_guard lock(overrideMutex);
    overrideStatus = status;
}

std::optional<NetworkStatus> Reachability::statusOverride() {
    std::lock_guard lock(overrideMutex);
    return overrideStatus;
}
