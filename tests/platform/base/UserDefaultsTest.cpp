#include "platform/base/UserDefaults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "TestEnvironment.h"
#include "platform/base/FileManager.h"
#include "platform/base/Log.h"

namespace {

using base::FileManager;
using base::UserDefaults;
using base::Value;

struct Logged {
    std::vector<std::string> lines;
    base::LogSink old;
    Logged() {
        old = base::setLogSinkForTesting([this](const std::string& l) { lines.push_back(l); });
    }
    ~Logged() { base::setLogSinkForTesting(old); }
};

std::string defaultsFile(const test::TempHome& home) { return home.configHome() + "/tolvek/defaults.plist"; }

TEST(UserDefaults, UnsetKeysReadZeroNoAndNil) {
    test::TempHome home;
    auto& d = UserDefaults::standardUserDefaults();
    EXPECT_EQ(d.integerForKey("none"), 0);
    EXPECT_FALSE(d.boolForKey("none"));
    EXPECT_EQ(d.doubleForKey("none"), 0.0);
    EXPECT_EQ(d.stringForKey("none"), "");
    EXPECT_FALSE(d.optionalStringForKey("none"));
    EXPECT_FALSE(d.arrayForKey("none"));
    EXPECT_FALSE(d.dictionaryForKey("none"));
    EXPECT_FALSE(d.dataForKey("none"));
    EXPECT_FALSE(d.dateForKey("none"));
    EXPECT_TRUE(d.objectForKey("none").isNull());
    EXPECT_EQ(d.path(), defaultsFile(home));
}

TEST(UserDefaults, ValuesSurviveANewInstanceReadingTheSameFile) {
    test::TempHome home;
    {
        auto& d = UserDefaults::standardUserDefaults();
        d.setInteger("week", 3);
        d.setBool("sound", true);
        d.setDouble("goal", 100.5);
        d.setString("name", "Ann");
        d.setObject("days", base::Array{1, 3, 5});
        d.setObject("last", base::Dictionary{{"reps", 42}});
        d.setObject("token", base::Data{1, 2, 3});
        d.setObject("when", base::Date(1300000000.5));
        d.setString("gone", "x");
        d.removeObjectForKey("gone");
        ASSERT_TRUE(d.synchronize());
    }
    UserDefaults again(defaultsFile(home));
    EXPECT_EQ(again.integerForKey("week"), 3);
    EXPECT_TRUE(again.boolForKey("sound"));
    EXPECT_DOUBLE_EQ(again.doubleForKey("goal"), 100.5);
    EXPECT_EQ(again.stringForKey("name"), "Ann");
    EXPECT_EQ(again.arrayForKey("days"), (base::Array{1, 3, 5}));
    EXPECT_EQ(again.dictionaryForKey("last")->get("reps").integerValue(), 42);
    EXPECT_EQ(again.dataForKey("token"), (base::Data{1, 2, 3}));
    EXPECT_EQ(again.dateForKey("when")->timeIntervalSince1970(), 1300000000.5);
    EXPECT_TRUE(again.objectForKey("gone").isNull());
    EXPECT_EQ(again.dictionaryRepresentation().keys(),
              (std::vector<std::string>{"week", "sound", "goal", "name", "days", "last", "token", "when"}));
}

TEST(UserDefaults, TypedReadsAreLenientAndNullRemoves) {
    test::TempHome home;
    UserDefaults d(home.path() + "/d.plist");
    d.setString("n", "12");
    EXPECT_EQ(d.integerForKey("n"), 12);
    d.setInteger("i", 7);
    EXPECT_EQ(d.stringForKey("i"), "7");
    EXPECT_FALSE(d.arrayForKey("i"));
    d.setObject("i", Value());
    EXPECT_TRUE(d.objectForKey("i").isNull());
}

TEST(UserDefaults, PendingChangesAreWrittenWhenTheInstanceGoesAndAtExit) {
    test::TempHome home;
    std::string file = home.path() + "/d.plist";
    {
        UserDefaults d(file);
        d.setInteger("unsynced", 5);
    }
    EXPECT_EQ(UserDefaults(file).integerForKey("unsynced"), 5);

    // A child process that sets a value and exits normally without
    // synchronizing: the exit handler writes it.
    EXPECT_EXIT(
        {
            UserDefaults::standardUserDefaults().setInteger("atExit", 9);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(UserDefaults(defaultsFile(home)).integerForKey("atExit"), 9);
}

TEST(UserDefaults, CorruptFileIsMovedAsideLoggedAndNeverOverwritten) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    std::string file = home.path() + "/d.plist";
    const std::string garbage = "<?xml version=\"1.0\"?><plist><dict><key>half";
    ASSERT_TRUE(fm.writeAtomically(file, garbage));
    Logged logged;
    {
        UserDefaults d(file);
        EXPECT_TRUE(d.dictionaryRepresentation().empty());
        d.setInteger("fresh", 1);
        EXPECT_TRUE(d.synchronize());
    }
    ASSERT_EQ(logged.lines.size(), 1u);
    EXPECT_NE(logged.lines[0].find(file + ".corrupt"), std::string::npos);
    auto aside = fm.contentsAtPath(file + ".corrupt");
    ASSERT_TRUE(aside);
    EXPECT_EQ(std::string(aside->begin(), aside->end()), garbage);
    EXPECT_EQ(UserDefaults(file).integerForKey("fresh"), 1);

    // A second bad file (a truncated binary one) does not replace the first.
    base::Data good = Value(base::Dictionary{{"a", 1}, {"b", "long enough text"}}).toBinaryPlist();
    base::Data truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    ASSERT_TRUE(fm.writeAtomically(file, truncated));
    UserDefaults second(file);
    EXPECT_TRUE(second.dictionaryRepresentation().empty());
    EXPECT_EQ(fm.contentsAtPath(file + ".corrupt"), *aside);
    EXPECT_EQ(fm.contentsAtPath(file + ".corrupt.1"), truncated);
    EXPECT_EQ(logged.lines.size(), 2u);
}

TEST(UserDefaults, EmptyFileOrNonDictionaryRootCountsAsCorrupt) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    std::string file = home.path() + "/d.plist";
    Logged logged;
    ASSERT_TRUE(fm.writeAtomically(file, std::string()));
    UserDefaults(file).dictionaryRepresentation();
    EXPECT_TRUE(fm.fileExists(file + ".corrupt"));
    ASSERT_TRUE(fm.writeAtomically(file, Value(base::Array{1, 2}).toXMLPlist()));
    UserDefaults(file).dictionaryRepresentation();
    EXPECT_TRUE(fm.fileExists(file + ".corrupt.1"));
    EXPECT_EQ(logged.lines.size(), 2u);
}

TEST(UserDefaults, FailedSynchronizeReportsAndKeepsChangesPending) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    std::string blocker = home.path() + "/notAFolder";
    ASSERT_TRUE(fm.writeAtomically(blocker, std::string("file")));
    Logged logged;
    {
        UserDefaults d(blocker + "/d.plist");
        d.setInteger("k", 1);
        EXPECT_FALSE(d.synchronize());
        EXPECT_EQ(logged.lines.size(), 1u);
        ASSERT_TRUE(fm.removeItem(blocker));
        EXPECT_TRUE(d.synchronize());
    }
    EXPECT_EQ(UserDefaults(blocker + "/d.plist").integerForKey("k"), 1);
}

TEST(UserDefaults, ConcurrentWritersLoseNothing) {
    test::TempHome home;
    auto& d = UserDefaults::standardUserDefaults();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&d, t] {
            for (int i = 0; i < 50; ++i) {
                d.setInteger("t" + std::to_string(t) + "-" + std::to_string(i), i);
                if (i % 10 == 0) d.synchronize();
            }
        });
    for (auto& t : threads) t.join();
    UserDefaults::resetStandardUserDefaultsForTesting();
    EXPECT_EQ(UserDefaults::standardUserDefaults().dictionaryRepresentation().size(), 200u);
}

}  // namespace
