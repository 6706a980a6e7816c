#include "sharing/core/SHROfflineSharer.h"

#include <chrono>

#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Image.h"
#include "sharing/core/SHR.h"

SHROfflineSharer::SHROfflineSharer(std::shared_ptr<SHRItem> item, std::string sharerId, std::string uid)
    : item_(std::move(item)), sharerId_(std::move(sharerId)), uid_(std::move(uid)) {}

bool SHROfflineSharer::shouldRun() const { return !isCancelled() && !readyToFinish_; }

void SHROfflineSharer::main() {
    if (!shouldRun()) {
        SHR::offlineShareEnded(uid_, SHR::ReplayOutcome::Failed);
        return;
    }
    auto self = std::static_pointer_cast<SHROfflineSharer>(shared_from_this());
    base::RunLoop::main().performOnMainThread([self] { self->share(); }, true);
    const double deadline = base::Clock::current().now() + ReplayTimeout;
    std::unique_lock lock(mutex_);
    while (shouldRun()) {
        if (base::Clock::current().now() >= deadline) {
            base::log(base::format("Sharing: the queued share %@ did not report in time", uid_));
            lock.unlock();
            base::RunLoop::main().performOnMainThread([self] { self->finish(SHR::ReplayOutcome::Failed); }, true);
            lock.lock();
            break;
        }
        wake_.wait_for(lock, std::chrono::milliseconds(20));
    }
}

void SHROfflineSharer::share() {
    sharer_ = SHRSharer::create(sharerId_);
    if (!sharer_) {
        finish(SHR::ReplayOutcome::Hopeless, "there is no sharer " + sharerId_);
        return;
    }
    sharer_->setItem(item_);
    sharer_->setQuiet(true);
    sharer_->setShareDelegate(std::static_pointer_cast<SHROfflineSharer>(shared_from_this()));
    if (!sharer_->isAuthorized()) {
        finish(SHR::ReplayOutcome::Hopeless, sharerId_ + " is signed out");
        return;
    }
    const std::string path = base::paths::join(SHR::offlineQueuePath(), uid_);
    if (item_->shareType() == SHRShareTypeImage || item_->shareType() == SHRShareTypeFile) {
        if (auto bytes = base::FileManager::defaultManager().contentsAtPath(path)) {
            if (item_->shareType() == SHRShareTypeImage) item_->setImage(gfx::Image::decode(*bytes));
            else item_->setData(*bytes);
        }
    }
    if (!sharer_->validateItem()) {
        finish(SHR::ReplayOutcome::Hopeless, "its item is incomplete");
        return;
    }
    // The data file stays until the share was sent, so a failure keeps it.
    // Should the connection be gone again, the sharer queues the share anew:
    // that updates this entry, and the replay counts as a failed attempt.
    auto& helper = SHR::currentHelper();
    {
        std::lock_guard lock(helper.queueMutex_);
        helper.requeueUid_ = uid_;
        helper.requeued_ = false;
    }
    const bool started = sharer_->tryToSend();
    bool requeued = false;
    {
        std::lock_guard lock(helper.queueMutex_);
        helper.requeueUid_.clear();
        requeued = helper.requeued_;
        helper.requeued_ = false;
    }
    if (!started || requeued) finish(SHR::ReplayOutcome::Failed);
}

void SHROfflineSharer::finish(SHR::ReplayOutcome outcome, const std::string& why) {
    if (readyToFinish_.exchange(true)) return;
    if (sharer_) sharer_->setShareDelegate({});
    SHR::offlineShareEnded(uid_, outcome, why);
    sharer_.reset();
    std::lock_guard lock(mutex_);
    wake_.notify_all();
}

void SHROfflineSharer::sharerFinishedSending(SHRSharer&) { finish(SHR::ReplayOutcome::Sent); }
void SHROfflineSharer::sharerFailedWithError(SHRSharer&, const net::Error&, bool) {
    finish(SHR::ReplayOutcome::Failed);
}
void SHROfflineSharer::sharerCancelledSending(SHRSharer&) { finish(SHR::ReplayOutcome::Failed); }
