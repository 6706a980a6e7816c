#include "platform/base/OperationQueue.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <thread>

#include "platform/base/Exception.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"

namespace base {

// ---------------------------------------------------------------------------
// Operation

Operation::Operation(std::function<void()> work) : work_(std::move(work)) {}

void Operation::main() {
    if (work_) work_();
}

void Operation::cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
}

bool Operation::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

bool Operation::isExecuting() const {
    std::lock_guard lock(mutex_);
    return executing_;
}

bool Operation::isFinished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

void Operation::waitUntilFinished() const {
    std::unique_lock lock(mutex_);
    finishedChanged_.wait(lock, [this] { return finished_; });
}

void Operation::run() {
    {
        std::lock_guard lock(mutex_);
        if (finished_) return;
        executing_ = !cancelled_;
    }
    if (isExecuting()) {
        try {
            main();
        } catch (const std::exception& e) {
            log(std::string("Operation ended by an exception: ") + e.what());
        } catch (...) {
            log("Operation ended by an unknown exception");
        }
    }
    {
        std::lock_guard lock(mutex_);
        executing_ = false;
        finished_ = true;
        work_ = nullptr;  // let go of what the work captured
    }
    finishedChanged_.notify_all();
}

// ---------------------------------------------------------------------------
// OperationQueue

// Shared with the workers, so a worker finishing after the last check of the
// destructor still has a live state to unlock.
struct OperationQueue::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::deque<std::shared_ptr<Operation>> pending;
    std::vector<std::shared_ptr<Operation>> running;
    int width = 1;
    int workers = 0;
    // The run loop of the thread that made the queue, when that is the main
    // one: it is woken as each operation ends, so the main thread sees the
    // count fall (and whatever the work left behind) at once, not at its
    // next event.
    RunLoop* owner = nullptr;
};

int OperationQueue::defaultMaxConcurrentOperationCount() {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

OperationQueue::OperationQueue(int maxConcurrentOperationCount) : state_(std::make_shared<State>()) {
    state_->width = std::max(1, maxConcurrentOperationCount);
    if (RunLoop::isMainThread()) state_->owner = &RunLoop::main();
}

OperationQueue::~OperationQueue() {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->pending.empty() && state_->workers == 0; });
}

int OperationQueue::maxConcurrentOperationCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->width;
}

void OperationQueue::setMaxConcurrentOperationCount(int count) {
    std::lock_guard lock(state_->mutex);
    state_->width = std::max(1, count);
    startWorkersLocked();
}

std::shared_ptr<Operation> OperationQueue::addOperation(std::function<void()> work) {
    auto op = std::make_shared<Operation>(std::move(work));
    addOperation(op);
    return op;
}

void OperationQueue::addOperation(const std::shared_ptr<Operation>& operation) {
    if (!operation) raise("NSInvalidArgumentException", "addOperation: operation is null");
    {
        std::lock_guard opLock(operation->mutex_);
        if (operation->queued_) raise("NSInvalidArgumentException", "addOperation: operation is already in a queue");
        operation->queued_ = true;
    }
    std::lock_guard lock(state_->mutex);
    state_->pending.push_back(operation);
    startWorkersLocked();
}

void OperationQueue::startWorkersLocked() {
    // A worker runs operations until none is pending, then ends; at most
    // width of them at once. No thread idles or polls.
    while (state_->workers < state_->width &&
           static_cast<std::size_t>(state_->workers) < state_->pending.size() + state_->running.size()) {
        ++state_->workers;
        std::thread([state = state_] {
            std::unique_lock lock(state->mutex);
            for (;;) {
                if (state->pending.empty() || state->workers > state->width) break;
                auto op = state->pending.front();
                state->pending.pop_front();
                state->running.push_back(op);
                lock.unlock();
                op->run();
                lock.lock();
                std::erase(state->running, op);
                state->changed.notify_all();
                if (RunLoop* owner = state->owner) {
                    lock.unlock();
                    owner->wake();
                    lock.lock();
                }
            }
            --state->workers;
            state->changed.notify_all();
        }).detach();
    }
}

std::vector<std::shared_ptr<Operation>> OperationQueue::operations() const {
    std::lock_guard lock(state_->mutex);
    std::vector<std::shared_ptr<Operation>> all(state_->running.begin(), state_->running.end());
    all.insert(all.end(), state_->pending.begin(), state_->pending.end());
    return all;
}

std::size_t OperationQueue::operationCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->running.size() + state_->pending.size();
}

void OperationQueue::cancelAllOperations() {
    for (auto& op : operations()) op->cancel();
}

void OperationQueue::waitUntilAllOperationsAreFinished() const {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->pending.empty() && state_->running.empty(); });
}

}  // namespace base
