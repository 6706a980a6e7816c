#pragma once
// One queued share replayed: an operation of the helper's queue that starts
// a quiet sharer on the main thread and waits on its own thread until the
// sharer reports, or until ReplayTimeout seconds of the clock in force have
// passed (a sharer that never reports must not hold the thread forever).
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "platform/base/OperationQueue.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRSharer.h"

class SHROfflineSharer : public base::Operation, public SHRSharerDelegate {
public:
    // Longer than a request's time-out, so a slow answer still arrives.
    static constexpr double ReplayTimeout = 120.0;

    SHROfflineSharer(std::shared_ptr<SHRItem> item, std::string sharerId, std::string uid);

    void main() override;
    bool shouldRun() const;
    // Main thread: starts the share.
    void share();
    void finish(SHR::ReplayOutcome outcome, const std::string& why = {});

    void sharerFinishedSending(SHRSharer& sharer) override;
    void sharerFailedWithError(SHRSharer& sharer, const net::Error& error, bool shouldRelogin) override;
    void sharerCancelledSending(SHRSharer& sharer) override;

    const std::shared_ptr<SHRItem>& item() const { return item_; }
    const std::string& sharerId() const { return sharerId_; }
    const std::string& uid() const { return uid_; }
    bool readyToFinish() const { return readyToFinish_; }

private:
    std::shared_ptr<SHRItem> item_;
    std::string sharerId_, uid_;
    std::atomic<bool> readyToFinish_{false};
    std::shared_ptr<SHRSharer> sharer_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
};
