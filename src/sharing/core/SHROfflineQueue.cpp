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
    std::string path = base::paths::join(base::paths::caches(), "SHR");
    auto& fm = base::FileManager::defaultManager();
    if (!fm.fileExists(path)) fm.createDirectory(path, true);
    return path;
}

std::string SHR::offlineQueueListPath() { return base::paths::join(offlineQueuePath(), "SHROfflineQueue.plist"); }

std::optional<base::Array> SHR::getOfflineQueueList() {
    auto& fm = base::FileManager::defaultManager();
    const std::string path = offlineQueueListPath();
    bool isDirectory = false;
    if (!fm.fileExists(path, &isDirectory)) return std::nullopt;
    if (isDirectory) {
        base::log("Sharing: the offline queue list " + path + " is a folder");
        return std::nullopt;
    }
    auto bytes = fm.contentsAtPath(path);
    std::string why = "it cannot be read";
    std::vector<std::string> dropped;
    auto value = bytes ? base::Value::fromPlist(*bytes, &why, &dropped) : std::nullopt;
    for (const auto& what : dropped)
        base::log(std::string("Sharing: the offline queue list ")
                      .append(path)
                      .append(": left out an unreadable value (")
                      .append(what)
                      .append(")"));
    if (value && value->asArray()) return *value->asArray();
    if (value) why = "the top level is not a list";
    // Never overwrite what could not be read: the next share would replace
    // every entry in it. Keep it aside, as the settings and keychain do.
    std::string aside = path + ".corrupt";
    for (int n = 1; fm.fileExists(aside); ++n) aside = path + ".corrupt." + std::to_string(n);
    std::string error;
    if (fm.moveItem(path, aside, &error))
        base::log("Sharing: the offline queue list is unusable (" + why + "); moved it to " + aside);
    else base::log("Sharing: the offline queue list is unusable (" + why + ") and could not be moved aside: " + error);
    return std::nullopt;
}

bool SHR::saveOfflineQueueList(const base::Array& list) {
    std::string why;
    auto bytes = base::Value(list).toBinaryPlist(&why);
    if (!bytes || !base::FileManager::defaultManager().writeAtomically(offlineQueueListPath(), *bytes, &why)) {
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
    if (!helper.requeueUid_.empty()) {
        // A replay went offline again: its own entry is updated, not doubled.
        if (auto list = getOfflineQueueList()) {
            for (auto& entry : *list) {
                base::Dictionary* dict = entry.asDictionary();
                if (!dict || dict->get("uid").stringValue() != helper.requeueUid_ ||
                    dict->get("sharer").stringValue() != sharerId)
                    continue;
                dict->set("item", item.dictionaryRepresentation());
                if (!saveOfflineQueueList(*list)) return false;
                helper.requeued_ = true;
                return true;
            }
        }
    }
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
    // The list file exists but could not be moved aside: do not replace it.
    if (fm.fileExists(offlineQueueListPath()) && !getOfflineQueueList() && fm.fileExists(offlineQueueListPath())) {
        if (bytes) fm.removeItem(dataPath);
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
            if (!SHRSharer::registry().contains(*sharer)) {
                base::log(base::format("Sharing: dropped the queued share %@: there is no sharer %@", *uid, *sharer));
                continue;
            }
            kept.push_back(entry);
            named.insert(*uid);
            if (helper.replaying_.count(*uid)) continue;
            helper.replaying_.insert(*uid);
            operations.push_back(
                std::make_shared<SHROfflineSharer>(SHRItem::itemFromDictionary(*itemDict), *sharer, *uid));
        }
        if (kept.size() != list->size()) saveOfflineQueueList(kept);
        // Data files that no entry names are left-overs: remove them (the
        // list itself and copies of it kept aside stay).
        auto& fm = base::FileManager::defaultManager();
        const std::string folder = offlineQueuePath();
        for (const auto& name : fm.contentsOfDirectory(folder)) {
            if (name.rfind("SHROfflineQueue.plist", 0) == 0 || named.count(name)) continue;
            bool isDirectory = false;
            const std::string path = base::paths::join(folder, name);
            if (fm.fileExists(path, &isDirectory) && !isDirectory) fm.removeItem(path);
        }
    }
    if (operations.empty()) return;
    if (!helper.offlineQueue_) helper.offlineQueue_ = std::make_shared<base::OperationQueue>();
    for (const auto& op : operations) helper.offlineQueue_->addOperation(op);
}

void SHR::offlineShareEnded(const std::string& uid, ReplayOutcome outcome, const std::string& why) {
    auto& helper = currentHelper();
    std::lock_guard lock(helper.queueMutex_);
    helper.replaying_.erase(uid);
    bool drop = outcome != ReplayOutcome::Failed;
    if (auto list = getOfflineQueueList()) {
        base::Array kept;
        bool changed = false;
        for (auto& entry : *list) {
            if (entry["uid"].stringValue() != uid) {
                kept.push_back(entry);
                continue;
            }
            changed = true;
            if (outcome == ReplayOutcome::Hopeless) {
                base::log(base::format("Sharing: dropped the queued share %@: %@", uid, why));
                continue;
            }
            if (outcome == ReplayOutcome::Sent) continue;
            const long long attempts = entry["attempts"].integerValue() + 1;
            if (attempts >= MaxReplayAttempts) {
                base::log(base::format("Sharing: gave up the queued share %@ after %i failed attempts", uid,
                                       static_cast<int>(attempts)));
                drop = true;
                continue;
            }
            if (base::Dictionary* dict = entry.asDictionary()) dict->set("attempts", attempts);
            kept.push_back(entry);
        }
        if (changed && !saveOfflineQueueList(kept)) return;  // keep the file with its entry
    } else if (outcome == ReplayOutcome::Hopeless) {
        base::log(base::format("Sharing: dropped the queued share %@: %@", uid, why));
    }
    if (!drop) return;
    const std::string path = base::paths::join(offlineQueuePath(), uid);
    auto& fm = base::FileManager::defaultManager();
    if (fm.fileExists(path)) fm.removeItem(path);
}
