// The offline queue of SHR: shares kept in the caches folder "SHR" while
// offline and replayed at the next start.
#include <cstdlib>
#include <random>

#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRItem.h"
#include "sharing/core/SHROfflineSharer.h"

std::string SHR::offlineQueuePath() {
    const std::string path = base::paths::join(base::paths::caches(), "SHR");
    auto& fm = base::FileManager::defaultManager();
    if (!fm.fileExists(path)) fm.createDirectory(path, true);
    return path;
}

std::string SHR::offlineQueueListPath() { return base::paths::join(offlineQueuePath(), "SHROfflineQueue.plist"); }

std::optional<base::Array> SHR::getOfflineQueueList() {
    auto bytes = base::FileManager::defaultManager().contentsAtPath(offlineQueueListPath());
    if (!bytes) return std::nullopt;
    auto value = base::Value::fromPlist(*bytes);
    if (!value || !value->asArray()) {
        base::log("Sharing: the offline queue list cannot be read");
        return std::nullopt;
    }
    return *value->asArray();
}

bool SHR::saveOfflineQueueList(const base::Array& list) {
    std::string why;
    if (!base::FileManager::defaultManager().writeAtomically(offlineQueueListPath(), base::Value(list).toBinaryPlist(),
                                                             &why)) {
        base::log("Sharing: the offline queue list cannot be written: " + why);
        return false;
    }
    return true;
}

bool SHR::isValidQueueUid(const std::string& uid) {
    return !uid.empty() && uid.find('/') == std::string::npos && uid.find("..") == std::string::npos &&
           uid != "SHROfflineQueue.plist";
}

bool SHR::addToOfflineQueue(const SHRItem& item, const std::string& sharerId) {
    static std::mt19937 random{std::random_device{}()};
    auto& helper = currentHelper();
    std::lock_guard lock(helper.queueMutex_);
    const std::string uid = base::format("%@-%i-%i-%i", sharerId, item.shareType(),
                                         static_cast<int>(static_cast<long long>(base::Clock::current().now())),
                                         static_cast<int>(static_cast<std::int32_t>(random())));
    if (!isValidQueueUid(uid)) return false;
    const std::string dataPath = base::paths::join(offlineQueuePath(), uid);
    std::optional<base::Data> bytes;
    if (item.shareType() == SHRShareTypeImage && item.image()) bytes = item.image()->encodeJPEG(1.0);
    else if (item.shareType() == SHRShareTypeFile && item.data()) bytes = *item.data();
    auto& fm = base::FileManager::defaultManager();
    if (bytes && !fm.writeAtomically(dataPath, *bytes)) {
        base::log("Sharing: the queued share's data cannot be written");
        return false;
    }
    base::Array list = getOfflineQueueList().value_or(base::Array{});
    list.push_back(base::Dictionary{{"item", item.dictionaryRepresentation()}, {"sharer", sharerId}, {"uid", uid}});
    if (!saveOfflineQueueList(list)) {
        if (bytes) fm.removeItem(dataPath);
        return false;
    }
    return true;
}

void SHR::flushOfflineQueue() {
    if (!connected()) return;
    auto& helper = currentHelper();
    std::vector<std::shared_ptr<SHROfflineSharer>> operations;
    {
        std::lock_guard lock(helper.queueMutex_);
        auto list = getOfflineQueueList();
        if (!list) return;
        base::Array kept;
        std::set<std::string> named;
        for (const auto& entry : *list) {
            const base::Dictionary* dict = entry.asDictionary();
            if (!dict) continue;
            const base::Dictionary* itemDict = dict->get("item").asDictionary();
            const std::string* sharer = dict->get("sharer").asString();
            const std::string* uid = dict->get("uid").asString();
            if (!itemDict || !sharer || !uid || !isValidQueueUid(*uid)) continue;  // dropped
            kept.push_back(entry);
            named.insert(*uid);
            if (helper.replaying_.count(*uid) || !SHRSharer::registry().contains(*sharer)) continue;
            helper.replaying_.insert(*uid);
            operations.push_back(
                std::make_shared<SHROfflineSharer>(SHRItem::itemFromDictionary(*itemDict), *sharer, *uid));
        }
        if (kept.size() != list->size()) saveOfflineQueueList(kept);
        // Data files that no entry names are left-overs: remove them.
        auto& fm = base::FileManager::defaultManager();
        const std::string folder = offlineQueuePath();
        for (const auto& name : fm.contentsOfDirectory(folder)) {
            if (name == "SHROfflineQueue.plist" || named.count(name)) continue;
            bool isDirectory = false;
            const std::string path = base::paths::join(folder, name);
            if (fm.fileExists(path, &isDirectory) && !isDirectory) fm.removeItem(path);
        }
    }
    if (operations.empty()) return;
    if (!helper.offlineQueue_) helper.offlineQueue_ = std::make_shared<base::OperationQueue>();
    for (const auto& op : operations) helper.offlineQueue_->addOperation(op);
}

void SHR::offlineShareEnded(const std::string& uid, bool sent) {
    auto& helper = currentHelper();
    std::lock_guard lock(helper.queueMutex_);
    helper.replaying_.erase(uid);
    if (!sent) return;
    if (auto list = getOfflineQueueList()) {
        base::Array kept;
        for (const auto& entry : *list)
            if (entry["uid"].stringValue() != uid) kept.push_back(entry);
        if (kept.size() != list->size() && !saveOfflineQueueList(kept)) return;  // keep the file with its entry
    }
    const std::string path = base::paths::join(offlineQueuePath(), uid);
    auto& fm = base::FileManager::defaultManager();
    if (fm.fileExists(path)) fm.removeItem(path);
}
