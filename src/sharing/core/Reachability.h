#pragma once
// Whether the internet (or the link-local network) can be reached. On
// Linux the internet counts as reachable when the kernel has a default
// route or some interface other than loopback is up and has an address.
// Tests set the answer with setStatusOverrideForTesting.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

enum NetworkStatus { NotReachable = 0, ReachableViaWiFi = 1, ReachableViaWWAN = 2 };

// The reachability flags, as the platform reports them.
namespace ReachabilityFlags {
inline constexpr std::uint32_t TransientConnection = 1 << 0;
inline constexpr std::uint32_t Reachable = 1 << 1;
inline constexpr std::uint32_t ConnectionRequired = 1 << 2;
inline constexpr std::uint32_t ConnectionOnTraffic = 1 << 3;
inline constexpr std::uint32_t InterventionRequired = 1 << 4;
inline constexpr std::uint32_t ConnectionOnDemand = 1 << 5;
inline constexpr std::uint32_t IsLocalAddress = 1 << 16;
inline constexpr std::uint32_t IsDirect = 1 << 17;
inline constexpr std::uint32_t IsWWAN = 1 << 18;
}  // namespace ReachabilityFlags

inline constexpr const char* kNetworkReachabilityChangedNotification = "kNetworkReachabilityChangedNotification";

class Reachability {
public:
    static std::shared_ptr<Reachability> reachabilityForInternetConnection();
    static std::shared_ptr<Reachability> reachabilityForLocalWiFi();
    static std::shared_ptr<Reachability> reachabilityWithHostName(const std::string& hostName);

    NetworkStatus currentReachabilityStatus() const;
    bool connectionRequired() const;
    // Reads the flags; false when they cannot be read.
    bool getFlags(std::uint32_t* flags) const;

    static NetworkStatus networkStatusForFlags(std::uint32_t flags);
    static NetworkStatus localWiFiStatusForFlags(std::uint32_t flags);

    // Tests: every object answers this status (nullopt: ask the system).
    static void setStatusOverrideForTesting(std::optional<NetworkStatus> status);
    static std::optional<NetworkStatus> statusOverride();

    bool isLocalWiFi() const { return localWiFiRef_; }
    const std::string& hostName() const { return hostName_; }

private:
    bool localWiFiRef_ = false;
    std::string hostName_;
};
