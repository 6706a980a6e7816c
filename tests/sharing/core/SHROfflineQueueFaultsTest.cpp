// The offline queue under faults: a corrupt list is kept aside, a replay
// that goes offline again does not double its share, entries that can never
// be sent are dropped with a log line, and failing ones are tried a bounded
// number of times.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/base/Keychain.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/ui/Application.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRItem.h"
#include "sharing/core/SHRRequest.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "support/MemoryKeychain.h"

namespace {

std::string queueServer;

// A network sharer that can share offline and posts its text.
class SHRQueueNet : public SHRSharer {
public:
    std::string sharerId() const override { return "SHRQueueNet"; }
    std::string sharerTitle() const override { return "Queue Net"; }
    bool canShareText() const override { return true; }
    bool requiresAuthentication() const override { return false; }
    bool shouldAutoShare() override { return true; }
    bool send() override {
        if (!validateItem()) return false;
        setRequest(SHRRequest::requestWithURL(
            net::URL(queueServer + "/add"), "text=" + encodeParameter(*item()->text()),
            std::static_pointer_cast<SHRQueueNet>(self()), &SHRQueueNet::finished, "POST", true));
        sendDidStart();
        return true;
    }
    void finished(SHRRequest& request) {
        if (request.success()) sendDidFinish();
        else sendDidFailWithError(SHR::error("failed"));
    }
};

// The same sharer behind a login that nobody has given.
class SHRQueueLogin : public SHRQueueNet {
public:
    std::string sharerId() const override { return "SHRQueueLogin"; }
    bool requiresAuthentication() const override { return true; }
};

class SHROfflineQueueFaults : public ::testing::Test {
protected:
    void SetUp() override {
        base::Clock::setCurrent(std::make_shared<base::ManualClock>());
        ui::Application::resetSharedApplication();
        oldKeychain_ = base::Keychain::setSharedForTesting(keychain_);
        SHR::resetForTesting();
        registerBuiltInSharers();
        SHRSharer::registerSharer<SHRQueueNet>("SHRQueueNet");
        SHRSharer::registerSharer<SHRQueueLogin>("SHRQueueLogin");
        Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
        queueServer = server_.baseURL();
        oldSink_ = base::setLogSinkForTesting([this](const std::string& line) {
            std::lock_guard lock(logMutex_);
            log_ += line + "\n";
        });
    }
    void TearDown() override {
        SHR::resetForTesting();
        base::setLogSinkForTesting(oldSink_);
        Reachability::setStatusOverrideForTesting(std::nullopt);
        ui::Application::resetSharedApplication();
        base::Keychain::setSharedForTesting(oldKeychain_);
        base::Clock::setCurrent(nullptr);
    }
    // Replays the queue and waits until every replay has ended.
    void replay() {
        SHR::flushOfflineQueue();
        drain();
    }
    // The replay threads end without waking the main loop: poll in short
    // steps (for at most a minute, reached only when they never end).
    void drain() {
        auto queue = SHR::currentHelper().offlineQueue();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (queue && queue->operationCount() > 0 && std::chrono::steady_clock::now() < limit)
            base::RunLoop::main().runUntil([&] { return queue->operationCount() == 0; }, 0.01);
        ASSERT_TRUE(!queue || queue->operationCount() == 0);
    }
    std::size_t queued() { return SHR::getOfflineQueueList().value_or(base::Array{}).size(); }
    void queueEntry(const std::string& sharer, const base::Dictionary& item, const std::string& uid) {
        auto list = SHR::getOfflineQueueList().value_or(base::Array{});
        list.push_back(base::Dictionary{{"item", item}, {"sharer", sharer}, {"uid", uid}});
        ASSERT_TRUE(SHR::saveOfflineQueueList(list));
    }
    std::string logText() {
        std::lock_guard lock(logMutex_);
        return log_;
    }

    test::TempHome home_;
    fakes::HttpServer server_;
    std::shared_ptr<testsupport::MemoryKeychain> keychain_ = std::make_shared<testsupport::MemoryKeychain>();
    std::shared_ptr<base::Keychain> oldKeychain_;
    base::LogSink oldSink_;
    std::mutex logMutex_;
    std::string log_;
};

TEST_F(SHROfflineQueueFaults, ACorruptListIsMovedAsideNotOverwritten) {
    auto& fm = base::FileManager::defaultManager();
    const std::string list = SHR::offlineQueueListPath();
    ASSERT_TRUE(fm.writeAtomically(list, std::string("not a property list")));
    Reachability::setStatusOverrideForTesting(NotReachable);
    SHRSharer::shareText("SHRQueueNet", "after the damage");
    base::RunLoop::main().advanceBy(0.1);
    auto aside = fm.contentsAtPath(list + ".corrupt");
    ASSERT_TRUE(aside);
    EXPECT_EQ(std::string(aside->begin(), aside->end()), "not a property list");
    EXPECT_EQ(queued(), 1u);
    EXPECT_NE(logText().find("moved it to"), std::string::npos);
}

TEST_F(SHROfflineQueueFaults, AReplayThatFindsItselfOfflineKeepsOneEntry) {
    server_.on("POST", "/add", fakes::Reply::text(200, "ok"));
    Reachability::setStatusOverrideForTesting(NotReachable);
    SHRSharer::shareText("SHRQueueNet", "once only");
    ASSERT_EQ(queued(), 1u);
    const std::string uid = (*SHR::getOfflineQueueList())[0]["uid"].stringValue();

    // Online when the replay starts, offline again by the time it sends.
    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    SHR::flushOfflineQueue();
    Reachability::setStatusOverrideForTesting(NotReachable);
    ASSERT_TRUE(SHR::currentHelper().offlineQueue());
    drain();
    auto list = SHR::getOfflineQueueList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0]["uid"].stringValue(), uid);
    EXPECT_EQ((*list)[0]["item"]["text"].stringValue(), "once only");

    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    replay();
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(SHROfflineQueueFaults, EntriesThatCanNeverBeSentAreDroppedWithALogLine) {
    auto text = SHRItem::text("hello")->dictionaryRepresentation();
    auto empty = text;
    empty.remove("text");  // a text item without its text no longer validates
    queueEntry("SHRNoSuchSharer", text, "SHRNoSuchSharer-2-1-1");
    queueEntry("SHRQueueLogin", text, "SHRQueueLogin-2-1-2");
    queueEntry("SHRQueueNet", empty, "SHRQueueNet-2-1-3");
    replay();
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(server_.requestCount(), 0u);
    const std::string log = logText();
    EXPECT_NE(log.find("SHRNoSuchSharer-2-1-1"), std::string::npos);
    EXPECT_NE(log.find("SHRQueueLogin is signed out"), std::string::npos);
    EXPECT_NE(log.find("SHRQueueNet-2-1-3"), std::string::npos);
}

TEST_F(SHROfflineQueueFaults, FailingSharesAreTriedABoundedNumberOfTimes) {
    server_.on("POST", "/add", fakes::Reply::text(500, "down"));
    Reachability::setStatusOverrideForTesting(NotReachable);
    SHRSharer::shareText("SHRQueueNet", "never arrives");
    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    for (int i = 1; i < SHR::MaxReplayAttempts; ++i) {
        replay();
        ASSERT_EQ(queued(), 1u) << "attempt " << i;
        EXPECT_EQ((*SHR::getOfflineQueueList())[0]["attempts"].integerValue(), i);
    }
    replay();
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(server_.requestCount(), static_cast<std::size_t>(SHR::MaxReplayAttempts));
    EXPECT_NE(logText().find("gave up"), std::string::npos);
}

}  // namespace
