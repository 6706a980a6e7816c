// A URL on the command line ("tolvek URL", as a browser starts the handler
// of the program's scheme): a fresh start hands it to the delegate once it
// has launched; a second start hands it to the running program and ends;
// the desktop entry decides whether the scheme can come back at all. One
// program per data folder, whatever name reaches the folder and whether or
// not the running one can be reached; and the folders a start leaves for the
// user alone.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <iterator>
#include <map>
#include <optional>

#include "HostTestSupport.h"
#include "platform/host/DesktopEntry.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/host/Instance.h"
#include "platform/host/Main.h"
#include "platform/base/FileManager.h"
#include "platform/base/UserDefaults.h"

namespace {

namespace fs = std::filesystem;

const std::string kScheme = "fb123456";
const std::string kAnswer = "fb123456://authorize#access_token=abc%20def&expires_in=3600";

// Sets environment variables for the test's lifetime.
class ScopedEnv {
public:
    void set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Records the URLs handed over, and what the application said then.
class URLRecorder : public ui::ApplicationDelegate {
public:
    bool didFinishLaunchingWithOptions(ui::Application&, const base::Value&) override {
        launched = true;
        return true;
    }
    bool handleOpenURL(ui::Application& app, const std::string& url) override {
        urls.push_back(url);
        afterLaunch = launched;
        couldReceive = app.canReceiveOwnURLScheme();
        return true;
    }
    bool launched = false, afterLaunch = false, couldReceive = false;
    std::vector<std::string> urls;
};

class URLHandOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::InstanceChannel::setAnswerWaitForTesting(kAnswerWait);
        root_ = fs::path(home_.path());
        env_.set("XDG_RUNTIME_DIR", (root_ / "run").string());
        env_.set("XDG_DATA_DIRS", (root_ / "system").string());
        fs::create_directories(root_ / "run");
        ::chmod((root_ / "run").c_str(), 0700);
        fs::create_directories(applications());
        std::ofstream(root_ / "wait.script") << "wait 1\n";
    }
    void TearDown() override { host::InstanceChannel::setAnswerWaitForTesting(0); }
    // How long a later start waits here for the running program's answer:
    // where one answers, a limit reached only when it does not; where none
    // can, the short wait the start is checked to keep to.
    static constexpr double kAnswerWait = 60;
    static constexpr double kSilentWait = 0.5;
    fs::path applications() const { return root_ / "data" / "applications"; }
    void installEntry(const std::string& extra, const std::string& exec = "/bin/true %u") {
        std::ofstream(applications() / "tolvek.desktop")
            << "[Desktop Entry]\nType=Application\nName=Tolvek\nExec=" << exec
            << "\nMimeType=text/plain;x-scheme-handler/" << kScheme << ";\n"
            << extra;
    }
    // The program's own command line, headless, with the recorder as delegate.
    int runHeadless(const std::shared_ptr<URLRecorder>& recorder, const std::string& url) {
        host::ProgramInfo info;
        info.urlScheme = kScheme;
        return host::runMain(
            {"--headless", "--script", (root_ / "wait.script").string(), url}, [recorder] { return recorder; }, info);
    }

    // The running program: the driver launched with the recorder, and the
    // channel listening for later starts, each URL going to the application
    // and each request to come forward to onForward.
    static ::testing::AssertionResult startRunning(host::HeadlessDriver& driver,
                                                   const std::shared_ptr<URLRecorder>& recorder,
                                                   host::InstanceChannel& channel,
                                                   std::function<void()> onForward = {}) {
        if (!driver.start(recorder)) return ::testing::AssertionFailure() << "the application did not launch";
        std::string why;
        if (!channel.listen([&driver](const std::string& url) { driver.application().deliverOpenURL(url); }, &why,
                            std::move(onForward)))
            return ::testing::AssertionFailure() << why;
        return ::testing::AssertionSuccess();
    }

    // Runs the program's pending work until done() holds (or, failing that,
    // for a minute): the listener answers a start before it hands what came
    // to the main thread, so a start can end a moment before its URL is posted.
    static bool settleUntil(host::HeadlessDriver& driver, const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;) {
            driver.settle();
            if (done() || std::chrono::steady_clock::now() > until) return done();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // A second start with these arguments (by default a plain one, which
    // would open a window); answers its status, what it said, how long it
    // took, and whether it made an application of its own.
    struct Start {
        int status = 0;
        std::string said;
        double seconds = 0;
        bool launched = false;
    };
    Start startAgain(const std::vector<std::string>& args = {"--frames", "1"}) {
        Start start;
        const auto began = std::chrono::steady_clock::now();
        ::testing::internal::CaptureStderr();
        start.status = host::runMain(args, [&] {
            start.launched = true;
            return std::make_shared<URLRecorder>();
        });
        start.said = ::testing::internal::GetCapturedStderr();
        start.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        return start;
    }
    // Every file under the folder with its contents.
    static std::map<std::string, std::string> filesIn(const fs::path& folder) {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                files[entry.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
            }
        return files;
    }

    test::TempHome home_;
    ScopedEnv env_;
    fs::path root_;
};

TEST_F(URLHandOverTest, AFreshStartHandsItsURLToTheDelegateOnceLaunched) {
    auto recorder = std::make_shared<URLRecorder>();
    ASSERT_EQ(runHeadless(recorder, kAnswer), 0);
    EXPECT_EQ(recorder->urls, std::vector<std::string>{kAnswer});
    EXPECT_TRUE(recorder->afterLaunch);
    // No desktop entry declares the scheme: a login cannot come back by it.
    EXPECT_FALSE(recorder->couldReceive);

    // Installed as the scheme's handler, it can.
    installEntry("");
    auto installed = std::make_shared<URLRecorder>();
    ASSERT_EQ(runHeadless(installed, kAnswer), 0);
    EXPECT_TRUE(installed->couldReceive);
}

TEST_F(URLHandOverTest, ASecondStartHandsItsURLToTheRunningProgramAndEnds) {
    // The running program: launched, and listening for later starts.
    host::HeadlessDriver driver;
    auto running = std::make_shared<URLRecorder>();
    host::InstanceChannel channel;
    ASSERT_TRUE(startRunning(driver, running, channel));
    // Only this user can reach the socket.
    struct stat st {};
    const std::string socket = host::InstanceChannel::socketPath();
    ASSERT_EQ(::stat(fs::path(socket).parent_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(socket.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    // A second listener does not take the place of the running one.
    host::InstanceChannel second;
    EXPECT_FALSE(second.listen([](const std::string&) {}));

    // The second start makes no application of its own; it hands over and ends.
    const Start handed = startAgain({kAnswer});
    EXPECT_EQ(handed.status, 0) << handed.said;
    EXPECT_FALSE(handed.launched);
    settleUntil(driver, [&] { return !running->urls.empty(); });
    EXPECT_EQ(running->urls, std::vector<std::string>{kAnswer});

    // A message over the bound is refused and reaches nobody.
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string flood = "fb123456://" + std::string(host::InstanceChannel::kMaxURLBytes, 'x');
    ASSERT_EQ(::send(fd, flood.data(), flood.size(), MSG_NOSIGNAL), static_cast<ssize_t>(flood.size()));
    ::shutdown(fd, SHUT_WR);
    char answer = 0;
    EXPECT_EQ(::recv(fd, &answer, 1, 0), 1);
    EXPECT_EQ(answer, '0');
    ::close(fd);
    driver.settle();
    EXPECT_EQ(running->urls.size(), 1u);

    // Once the running program has gone, a start with a URL finds no one to
    // hand it to, and the socket is gone with it.
    channel.stop();
    EXPECT_FALSE(fs::exists(socket));
    EXPECT_FALSE(host::InstanceChannel::handOver(kAnswer));
}

TEST_F(URLHandOverTest, ASecondPlainStartBringsTheRunningProgramForwardAndEnds) {
    host::HeadlessDriver driver;
    auto running = std::make_shared<URLRecorder>();
    int forward = 0;
    host::InstanceChannel channel;
    ASSERT_TRUE(startRunning(driver, running, channel, [&] { ++forward; }));
    // A switch turned on in the running program, not saved yet.
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool("Tolvek_ShowReminders", true);
    const fs::path settings = fs::path(base::paths::configHome()) / "defaults.plist";
    auto contents = [&] {
        std::ifstream in(settings, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = contents();

    // A plain start makes no application of its own: it asks the running
    // one to come forward and ends.
    const Start second = startAgain();
    EXPECT_EQ(second.status, 0) << second.said;
    EXPECT_FALSE(second.launched);
    settleUntil(driver, [&] { return forward > 0; });
    EXPECT_EQ(forward, 1);
    EXPECT_TRUE(running->urls.empty());
    EXPECT_TRUE(defaults.boolForKey("Tolvek_ShowReminders"));
    EXPECT_EQ(contents(), before);

    // A scripted run on the folder the window holds says so and ends.
    const Start scripted = startAgain({"--headless", "--script", (root_ / "wait.script").string()});
    EXPECT_EQ(scripted.status, 3);
    EXPECT_NE(scripted.said.find("a Tolvek window is using this data folder"), std::string::npos);
    EXPECT_FALSE(scripted.launched);
    EXPECT_EQ(contents(), before);

    // Another data folder is another program's.
    env_.set("XDG_DATA_HOME", (root_ / "other-data").string());
    env_.set("XDG_CONFIG_HOME", (root_ / "other-config").string());
    EXPECT_FALSE(host::InstanceChannel::isHeldElsewhere());
    host::InstanceChannel other;
    std::string why;
    EXPECT_TRUE(other.listen([](const std::string&) {}, &why)) << why;
    other.stop();
}

TEST_F(URLHandOverTest, EveryNameOfTheDataFolderMeetsTheProgramHoldingIt) {
    host::HeadlessDriver driver;
    auto running = std::make_shared<URLRecorder>();
    host::InstanceChannel channel;
    ASSERT_TRUE(startRunning(driver, running, channel));

    // The same folder through a link to it, and through its path spelled
    // with doubled and trailing slashes.
    fs::create_directories(root_ / "alias");
    fs::create_directory_symlink(root_ / "data" / "tolvek", root_ / "alias" / "tolvek");
    for (const std::string& dataHome : {(root_ / "alias").string(), root_.string() + "//data/"}) {
        SCOPED_TRACE(dataHome);
        env_.set("XDG_DATA_HOME", dataHome);
        EXPECT_TRUE(host::InstanceChannel::isHeldElsewhere());
        host::InstanceChannel second;
        EXPECT_FALSE(second.listen([](const std::string&) {}));
        EXPECT_TRUE(second.heldElsewhere());
        // A start with a URL hands it over, a plain one brings the window
        // forward; neither makes an application of its own.
        const Start handed = startAgain({kAnswer});
        EXPECT_EQ(handed.status, 0) << handed.said;
        EXPECT_FALSE(handed.launched);
        EXPECT_EQ(startAgain().status, 0);
        // A scripted run refuses.
        const Start scripted = startAgain({"--headless", "--script", (root_ / "wait.script").string()});
        EXPECT_EQ(scripted.status, 3);
        EXPECT_NE(scripted.said.find("a Tolvek window is using this data folder"), std::string::npos);
        EXPECT_FALSE(scripted.launched);
    }
    settleUntil(driver, [&] { return running->urls.size() >= 2; });
    EXPECT_EQ(running->urls, (std::vector<std::string>{kAnswer, kAnswer}));
}

TEST_F(URLHandOverTest, ASecondStartIsRefusedWhateverLayWhereALockFileWouldBeMade) {
    // A read-only data folder lets no file be made in it; for root, what
    // lies at the name does the same: a dangling link, a folder, a pipe, or
    // a file an older version left there.
    const fs::path data = root_ / "data" / "tolvek";
    const fs::path name = data / "instance.lock";
    const std::vector<std::pair<std::string, std::function<void()>>> inTheWay{
        {"a folder", [&] { fs::create_directories(name / "inside"); }},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0); }},
        {"an old file", [&] { std::ofstream(name) << ""; }},
        {"a dangling link", [&] { fs::create_symlink(root_ / "nowhere", name); }},
    };
    for (const auto& [what, place] : inTheWay) {
        SCOPED_TRACE(what);
        fs::create_directories(data);
        fs::remove_all(name);
        place();
        host::HeadlessDriver driver;
        auto running = std::make_shared<URLRecorder>();
        int forward = 0;
        host::InstanceChannel channel;
        if (!startRunning(driver, running, channel, [&] { ++forward; })) {
            ADD_FAILURE() << "the first start does not hold the folder";
            continue;
        }
        // The way clears, as when the folder can be written again: a file
        // could be made and locked now, but the folder stays the holder's.
        fs::remove_all(name);
        EXPECT_TRUE(host::InstanceChannel::isHeldElsewhere());
        host::InstanceChannel second;
        EXPECT_FALSE(second.hold(host::InstanceChannel::Hold::Shared));
        EXPECT_TRUE(second.heldElsewhere());
        const Start scripted = startAgain({"--headless", "--script", (root_ / "wait.script").string()});
        EXPECT_EQ(scripted.status, 3);
        EXPECT_NE(scripted.said.find("a Tolvek window is using this data folder"), std::string::npos) << scripted.said;
        EXPECT_FALSE(scripted.launched);
        // A plain start brings the window forward instead of opening one.
        const Start plain = startAgain();
        EXPECT_EQ(plain.status, 0) << plain.said;
        EXPECT_FALSE(plain.launched);
        settleUntil(driver, [&] { return forward > 0; });
        EXPECT_EQ(forward, 1);
        // No start made a lock file.
        EXPECT_FALSE(fs::exists(fs::symlink_status(name)));
        channel.stop();
        // Gone with the holder.
        EXPECT_FALSE(host::InstanceChannel::isHeldElsewhere());
    }
}

TEST_F(URLHandOverTest, TwoDataFoldersSharingOneSettingsFolderNeverRunTogether) {
    host::HeadlessDriver driver;
    auto running = std::make_shared<URLRecorder>();
    int forward = 0;
    host::InstanceChannel channel;
    ASSERT_TRUE(startRunning(driver, running, channel, [&] { ++forward; }));

    // Another data folder with the same settings.
    env_.set("XDG_DATA_HOME", (root_ / "other-data").string());
    EXPECT_FALSE(host::InstanceChannel::isHeldElsewhere());
    host::InstanceChannel second;
    std::string why;
    EXPECT_FALSE(second.listen([](const std::string&) {}, &why));
    EXPECT_TRUE(second.heldElsewhere());
    EXPECT_TRUE(second.settingsHeldElsewhere());
    EXPECT_NE(why.find("settings folder"), std::string::npos) << why;
    // It kept neither lock: its data folder is free for the next start.
    EXPECT_FALSE(second.isHolding());
    EXPECT_FALSE(host::InstanceChannel::isHeldElsewhere());

    // Every start there ends, saying why; nothing is handed to the window
    // on the other data folder.
    for (const auto& args : {std::vector<std::string>{"--frames", "1"}, std::vector<std::string>{kAnswer},
                             std::vector<std::string>{"--headless", "--script", (root_ / "wait.script").string()}}) {
        const Start start = startAgain(args);
        EXPECT_EQ(start.status, 3);
        EXPECT_FALSE(start.launched);
        EXPECT_NE(start.said.find("settings folder (" + base::paths::configHome() + ")"), std::string::npos)
            << start.said;
        EXPECT_EQ(start.said.find("this data folder"), std::string::npos) << start.said;
        EXPECT_LT(start.seconds, kAnswerWait + 2);
    }
    driver.settle();
    EXPECT_TRUE(running->urls.empty());
    EXPECT_EQ(forward, 0);

    // Data and settings in one folder: one program holds both, and the
    // next start is refused by the data folder.
    env_.set("XDG_DATA_HOME", (root_ / "one").string());
    env_.set("XDG_CONFIG_HOME", (root_ / "one").string());
    host::InstanceChannel both;
    EXPECT_TRUE(both.listen([](const std::string&) {}, &why)) << why;
    host::InstanceChannel next;
    EXPECT_FALSE(next.hold(host::InstanceChannel::Hold::Shared));
    EXPECT_TRUE(next.heldElsewhere());
    EXPECT_FALSE(next.settingsHeldElsewhere());
    both.stop();
}

TEST_F(URLHandOverTest, WithoutAHandOverSocketTheHolderStillKeepsTheFolderItsOwn) {
    // Faults that stop the socket even for root: the runtime folder is a
    // file, or the socket's path is too long for a Unix socket.
    host::InstanceChannel::setAnswerWaitForTesting(kSilentWait);
    std::ofstream(root_ / "runtime-file") << "not a folder";
    const fs::path deep = root_ / std::string(60, 'r') / std::string(60, 'u') / std::string(60, 'n');
    fs::create_directories(deep);
    for (const std::string& runtime : {(root_ / "runtime-file").string(), deep.string()}) {
        SCOPED_TRACE(runtime);
        env_.set("XDG_RUNTIME_DIR", runtime);
        host::InstanceChannel window;
        std::string why;
        EXPECT_FALSE(window.listen([](const std::string&) {}, &why));
        EXPECT_FALSE(window.heldElsewhere()) << why;
        ASSERT_TRUE(window.isHolding());
        const auto before = filesIn(root_ / "data");

        // A scripted run refuses and writes nothing.
        const Start scripted = startAgain({"--headless", "--script", (root_ / "wait.script").string()});
        EXPECT_EQ(scripted.status, 3);
        EXPECT_NE(scripted.said.find("a Tolvek window is using this data folder"), std::string::npos);
        EXPECT_FALSE(scripted.launched);
        EXPECT_EQ(filesIn(root_ / "data"), before);

        // A second window does not open: the start says it cannot reach
        // the running one, having waited no longer than it is told to.
        for (const auto& args : {std::vector<std::string>{"--frames", "1"}, std::vector<std::string>{kAnswer}}) {
            const Start second = startAgain(args);
            EXPECT_EQ(second.status, 3);
            EXPECT_FALSE(second.launched);
            EXPECT_NE(second.said.find("another Tolvek is running on this data folder"), std::string::npos)
                << second.said;
            EXPECT_LT(second.seconds, kSilentWait + 10);
        }
        window.stop();
    }
}

TEST_F(URLHandOverTest, AStartBesideAWindowThatDoesNotAnswerSaysSoWithinTheWait) {
    // The holder's socket takes connections (the kernel queues them) but
    // nobody reads them, as with a stopped or hung program.
    host::InstanceChannel::setAnswerWaitForTesting(kSilentWait);
    host::InstanceChannel holder;
    ASSERT_TRUE(holder.hold());
    const std::string path = host::InstanceChannel::socketPath();
    fs::create_directories(fs::path(path).parent_path());
    ::chmod(fs::path(path).parent_path().c_str(), 0700);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 8), 0);

    for (const auto& args : {std::vector<std::string>{"--frames", "1"}, std::vector<std::string>{kAnswer}}) {
        const Start second = startAgain(args);
        EXPECT_EQ(second.status, 3);
        EXPECT_FALSE(second.launched);
        EXPECT_NE(second.said.find("did not answer"), std::string::npos) << second.said;
        EXPECT_GE(second.seconds, kSilentWait * 0.9);
        EXPECT_LT(second.seconds, kSilentWait + 10);
    }
    ::close(fd);
}

TEST_F(URLHandOverTest, AStartLeavesTheProgramsFoldersToTheUserAlone) {
    const mode_t oldMask = ::umask(0);
    // Left open by an older run: the data and settings folders, and an XDG
    // base folder above them.
    fs::create_directories(root_ / "data" / "tolvek");
    fs::create_directories(root_ / "config" / "tolvek");
    ::chmod((root_ / "data").c_str(), 0755);
    ::chmod((root_ / "data" / "tolvek").c_str(), 0777);
    ::chmod((root_ / "config" / "tolvek").c_str(), 0755);
    // The cache's base folder and its parent are not there yet.
    env_.set("XDG_CACHE_HOME", (root_ / "new" / "cache").string());

    const int status = runHeadless(std::make_shared<URLRecorder>(), kAnswer);
    ::umask(oldMask);
    ASSERT_EQ(status, 0);
    auto mode = [](const fs::path& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 01000u;
    };
    EXPECT_EQ(mode(root_ / "data" / "tolvek"), 0700u);
    EXPECT_EQ(mode(root_ / "config" / "tolvek"), 0700u);
    EXPECT_EQ(mode(root_ / "new" / "cache" / "tolvek"), 0700u);
    // Base folders it made are 0700; one that was there keeps its mode.
    EXPECT_EQ(mode(root_ / "new"), 0700u);
    EXPECT_EQ(mode(root_ / "new" / "cache"), 0700u);
    EXPECT_EQ(mode(root_ / "data"), 0755u);
}

TEST(DesktopEntry, HandlesTheSchemeOnlyWhenDeclaredShownAndRunnable) {
    auto entry = [](const std::string& text) { return host::desktopEntryKeys(text); };
    const std::string head = "[Desktop Entry]\nType=Application\nName=Tolvek\n";
    EXPECT_TRUE(
        host::handlesURLScheme(entry(head + "Exec=/bin/true %u\nMimeType=x-scheme-handler/FB123456;\n"), kScheme));
    EXPECT_FALSE(
        host::handlesURLScheme(entry(head + "Exec=/bin/true %u\nMimeType=x-scheme-handler/fb1234567;\n"), kScheme));
    EXPECT_FALSE(host::handlesURLScheme(
        entry(head + "Exec=/bin/true %u\nMimeType=x-scheme-handler/fb123456;\nHidden=true\n"), kScheme));
    // The URL would not be passed on, or the program is not there.
    EXPECT_FALSE(
        host::handlesURLScheme(entry(head + "Exec=/bin/true\nMimeType=x-scheme-handler/fb123456;\n"), kScheme));
    EXPECT_FALSE(host::handlesURLScheme(
        entry(head + "Exec=\"/no such/tolvek\" %u\nMimeType=x-scheme-handler/fb123456;\n"), kScheme));
    // Only the [Desktop Entry] group counts.
    EXPECT_FALSE(host::handlesURLScheme(
        entry(head + "Exec=/bin/true %u\n[Desktop Action x]\nMimeType=x-scheme-handler/fb123456;\n"), kScheme));
}

}  // namespace
