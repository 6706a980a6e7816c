#pragma once
// A pool of worker threads of a set width that runs operations: plain
// functions, or Operation subclasses that override main(). Operations can be
// cancelled (one, or all of a queue) and waited for. A queue made on the
// main thread wakes the main run loop as each of its operations ends, so a
// loop waiting for the queue's work sees it end at once.
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace base {

class OperationQueue;

class Operation : public std::enable_shared_from_this<Operation> {
public:
    explicit Operation(std::function<void()> work = {});
    virtual ~Operation() = default;
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // The work; the default runs the function given at construction. Long
    // work should look at isCancelled() now and then.
    virtual void main();

    // Marks the operation cancelled. One that has not started yet finishes
    // without running; one that runs sees isCancelled().
    void cancel();
    bool isCancelled() const;
    bool isExecuting() const;
    bool isFinished() const;
    // Blocks until the operation has finished (ran, or was cancelled before
    // it started). Do not call it for an operation that was never queued.
    void waitUntilFinished() const;

private:
    friend class OperationQueue;
    // Runs main() unless cancelled, then marks the operation finished.
    // Anything main() throws is logged and ends the operation.
    void run();

    std::function<void()> work_;
    mutable std::mutex mutex_;
    mutable std::condition_variable finishedChanged_;
    bool cancelled_ = false;
    bool executing_ = false;
    bool finished_ = false;
    bool queued_ = false;
};

class OperationQueue {
public:
    // The platform's default width: the machine's hardware threads.
    static int defaultMaxConcurrentOperationCount();

    explicit OperationQueue(int maxConcurrentOperationCount = defaultMaxConcurrentOperationCount());
    // Waits for every operation added to finish (cancel them first to
    // shorten it), so no worker outlives the queue.
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    int maxConcurrentOperationCount() const;
    // Changing the width takes effect as operations start (values below 1
    // mean 1).
    void setMaxConcurrentOperationCount(int count);

    std::shared_ptr<Operation> addOperation(std::function<void()> work);
    // An operation joins one queue once; adding it again raises
    // "NSInvalidArgumentException".
    void addOperation(const std::shared_ptr<Operation>& operation);

    // The operations not finished yet, in the order they were added.
    std::vector<std::shared_ptr<Operation>> operations() const;
    std::size_t operationCount() const;

    void cancelAllOperations();
    void waitUntilAllOperationsAreFinished() const;

    struct State;

private:
    void startWorkersLocked();
    std::shared_ptr<State> state_;
};

}  // namespace base
