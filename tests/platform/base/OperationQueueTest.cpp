#include "platform/base/OperationQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "platform/base/Exception.h"
#include "platform/base/Log.h"

using namespace base;

namespace {

// A gate the test opens once; operations block on it.
struct Gate {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    void wait() {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return open; });
    }
    void release() {
        {
            std::lock_guard lock(m);
            open = true;
        }
        cv.notify_all();
    }
};

}  // namespace

TEST(OperationQueueTest, RunsEveryOperationOnWorkerThreads) {
    OperationQueue queue;
    EXPECT_EQ(queue.maxConcurrentOperationCount(), OperationQueue::defaultMaxConcurrentOperationCount());
    EXPECT_GE(queue.maxConcurrentOperationCount(), 1);
    std::atomic<int> sum{0};
    std::atomic<bool> onCaller{false};
    const auto caller = std::this_thread::get_id();
    for (int i = 1; i <= 100; ++i)
        queue.addOperation([&, i] {
            sum += i;
            if (std::this_thread::get_id() == caller) onCaller = true;
        });
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(sum, 5050);
    EXPECT_FALSE(onCaller);
    EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueueTest, NeverRunsMoreThanItsWidthAtOnce) {
    OperationQueue queue(3);
    std::atomic<int> now{0}, peak{0};
    Gate gate;
    for (int i = 0; i < 12; ++i)
        queue.addOperation([&] {
            int n = ++now;
            int p = peak.load();
            while (n > p && !peak.compare_exchange_weak(p, n)) {}
            gate.wait();
            --now;
        });
    // Wait until the first three are blocked in the gate.
    while (peak.load() < 3) std::this_thread::yield();
    EXPECT_EQ(queue.operationCount(), 12u);
    gate.release();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(peak.load(), 3);
}

TEST(OperationQueueTest, WidthOneRunsInOrder) {
    OperationQueue queue(1);
    std::vector<int> order;  // touched by one worker at a time
    for (int i = 0; i < 20; ++i) queue.addOperation([&, i] { order.push_back(i); });
    queue.waitUntilAllOperationsAreFinished();
    ASSERT_EQ(order.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(order[i], i);
}

TEST(OperationQueueTest, CancelAllSkipsPendingAndFlagsRunning) {
    OperationQueue queue(1);
    Gate gate, started;
    std::atomic<bool> sawCancel{false};
    std::atomic<int> laterRan{0};
    std::weak_ptr<Operation> weakFirst;  // set before the gate opens
    auto first = queue.addOperation([&] {
        started.release();
        gate.wait();
        if (auto self = weakFirst.lock()) sawCancel = self->isCancelled();
    });
    weakFirst = first;
    std::vector<std::shared_ptr<Operation>> later;
    for (int i = 0; i < 5; ++i) later.push_back(queue.addOperation([&] { ++laterRan; }));
    started.wait();
    EXPECT_TRUE(first->isExecuting());
    queue.cancelAllOperations();
    gate.release();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(sawCancel);
    EXPECT_EQ(laterRan, 0);
    for (auto& op : later) {
        EXPECT_TRUE(op->isCancelled());
        EXPECT_TRUE(op->isFinished());
        EXPECT_FALSE(op->isExecuting());
    }
}

TEST(OperationQueueTest, OperationObjectCanBeCancelledAndWaitedFor) {
    struct Counting : Operation {
        std::atomic<int>* runs;
        explicit Counting(std::atomic<int>* r) : runs(r) {}
        void main() override { ++*runs; }
    };
    std::atomic<int> runs{0};
    OperationQueue queue(2);
    Gate gate;
    queue.addOperation([&] { gate.wait(); });
    queue.addOperation([&] { gate.wait(); });
    auto kept = std::make_shared<Counting>(&runs);
    auto dropped = std::make_shared<Counting>(&runs);
    queue.addOperation(kept);
    queue.addOperation(dropped);
    dropped->cancel();
    EXPECT_FALSE(kept->isFinished());
    gate.release();
    kept->waitUntilFinished();
    dropped->waitUntilFinished();
    EXPECT_TRUE(kept->isFinished());
    EXPECT_EQ(runs, 1);
    // An operation joins a queue once.
    EXPECT_THROW(queue.addOperation(kept), Exception);
    EXPECT_THROW(queue.addOperation(std::shared_ptr<Operation>()), Exception);
}

TEST(OperationQueueTest, ThrowingOperationIsLoggedAndFinishes) {
    std::vector<std::string> lines;
    std::mutex m;
    auto old = setLogSinkForTesting([&](const std::string& line) {
        std::lock_guard lock(m);
        lines.push_back(line);
    });
    {
        OperationQueue queue(2);
        auto op = queue.addOperation([] { throw std::runtime_error("replay failed"); });
        op->waitUntilFinished();
        std::atomic<bool> after{false};
        queue.addOperation([&] { after = true; })->waitUntilFinished();
        EXPECT_TRUE(after);
    }
    setLogSinkForTesting(old);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("replay failed"), std::string::npos);
}

TEST(OperationQueueTest, DestructorWaitsForWorkAndWidthCanChange) {
    std::atomic<int> done{0};
    {
        OperationQueue queue(1);
        queue.setMaxConcurrentOperationCount(0);
        EXPECT_EQ(queue.maxConcurrentOperationCount(), 1);
        queue.setMaxConcurrentOperationCount(4);
        for (int i = 0; i < 8; ++i)
            queue.addOperation([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                ++done;
            });
    }
    EXPECT_EQ(done, 8);
}
