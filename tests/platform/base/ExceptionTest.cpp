#include "platform/base/Exception.h"
#include "platform/base/Log.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct RecordingHandler : base::AssertionHandler {
    std::vector<std::string> failures;
    void handleFailureInMethod(const std::string& method, const void*, const std::string& file, int,
                               const std::string& description) override {
        failures.push_back(method + "|" + file + "|" + description);
    }
};

struct LogCapture {
    std::vector<std::string> lines;
    base::LogSink previous;
    LogCapture() {
        previous = base::setLogSinkForTesting([this](const std::string& l) { lines.push_back(l); });
    }
    ~LogCapture() { base::setLogSinkForTesting(previous); }
};

TEST(Exception, CarriesNameAndReason) {
    try {
        base::raise("CHTException", "bad axis");
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(), "bad axis");
        EXPECT_STREQ(e.what(), "CHTException: bad axis");
    }
}

TEST(AssertionHandler, DefaultLogsOneLineAndThrows) {
    LogCapture capture;
    int x = 0;
    try {
        BASE_PARAMETER_ASSERT(x > 0, "setValue:", "Chart.cpp");
        FAIL() << "the default handler must throw";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "NSInternalInconsistencyException");
        EXPECT_EQ(e.reason(), "Invalid parameter not satisfying: x > 0");
    }
    ASSERT_EQ(capture.lines.size(), 1u);
    EXPECT_NE(capture.lines[0].find("setValue:"), std::string::npos);
    EXPECT_NE(capture.lines[0].find("Chart.cpp"), std::string::npos);
    EXPECT_THROW(base::AssertionHandler::current().handleFailureInFunction("f", "a.cpp", 3, "why"), base::Exception);
}

TEST(AssertionHandler, ReplaceableAndRestorable) {
    auto recorder = std::make_shared<RecordingHandler>();
    auto old = base::AssertionHandler::setCurrent(recorder);
    EXPECT_EQ(old, nullptr);
    BASE_PARAMETER_ASSERT(1 == 2, "m", "f.cpp");
    BASE_PARAMETER_ASSERT(1 == 1, "m", "f.cpp");
    ASSERT_EQ(recorder->failures.size(), 1u);
    EXPECT_EQ(recorder->failures[0], "m|f.cpp|Invalid parameter not satisfying: 1 == 2");
    EXPECT_EQ(base::AssertionHandler::setCurrent(nullptr), recorder);
    EXPECT_THROW(BASE_PARAMETER_ASSERT(false, "m", "f.cpp"), base::Exception);
}

TEST(Log, OneLinePerMessageEvenAcrossThreads) {
    LogCapture capture;
    base::log("first\nsecond");
    ASSERT_EQ(capture.lines.size(), 1u);
    EXPECT_EQ(capture.lines[0], "first second");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 100; ++i) base::log("worker");
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(capture.lines.size(), 401u);
}

}  // namespace
