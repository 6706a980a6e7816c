#include "platform/base/Keychain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestEnvironment.h"
#include "platform/base/FileManager.h"
#include "platform/base/Log.h"
#include "support/MemoryKeychain.h"

namespace {

using base::Data;
using base::FileKeychain;
using base::KeychainItem;
using base::KeychainStatus;
using testsupport::MemoryKeychain;

Data utf8(const std::string& s) { return Data(s.begin(), s.end()); }

KeychainItem item(const std::string& service, const std::string& account, std::optional<std::string> secret) {
    KeychainItem i;
    i.attributes = {service, account, service};
    if (secret) i.data = utf8(*secret);
    return i;
}

struct Logged {
    std::vector<std::string> lines;
    base::LogSink old;
    Logged() {
        old = base::setLogSinkForTesting([this](const std::string& l) { lines.push_back(l); });
    }
    ~Logged() { base::setLogSinkForTesting(old); }
};

TEST(Keychain, FileIsPrivateAndSurvivesAReload) {
    test::TempHome home;
    FileKeychain store;
    std::string file = home.dataHome() + "/tolvek/keychain.plist";
    EXPECT_EQ(store.path(), file);
    ASSERT_EQ(store.add(item("SHR_AUTH_SHRDelicious", "accessKey", "k-123")), KeychainStatus::Success);
    ASSERT_EQ(store.add(item("SHR_AUTH_SHRDelicious", "accessSecret", "s-456")), KeychainStatus::Success);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    FileKeychain reloaded(file);
    std::optional<Data> data;
    ASSERT_EQ(reloaded.findData("SHR_AUTH_SHRDelicious", "accessSecret", &data), KeychainStatus::Success);
    EXPECT_EQ(data, utf8("s-456"));
    base::KeychainAttributes attrs;
    ASSERT_EQ(reloaded.findAttributes("SHR_AUTH_SHRDelicious", "accessKey", &attrs), KeychainStatus::Success);
    EXPECT_EQ(attrs, (base::KeychainAttributes{"SHR_AUTH_SHRDelicious", "accessKey", "SHR_AUTH_SHRDelicious"}));
    ASSERT_EQ(reloaded.update("SHR_AUTH_SHRDelicious", "accessKey", utf8("k-789")), KeychainStatus::Success);
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(store.findData("SHR_AUTH_SHRDelicious", "accessKey", &data), KeychainStatus::Success);
    EXPECT_EQ(data, utf8("k-789"));
}

TEST(Keychain, StatusesForMissingAndDuplicateItems) {
    test::TempHome home;
    FileKeychain store;
    std::optional<Data> data;
    EXPECT_EQ(store.findAttributes("svc", "acct"), KeychainStatus::ItemNotFound);
    EXPECT_EQ(store.findData("svc", "acct", &data), KeychainStatus::ItemNotFound);
    EXPECT_EQ(store.update("svc", "acct", utf8("x")), KeychainStatus::ItemNotFound);
    EXPECT_EQ(store.deleteItem("svc", "acct"), KeychainStatus::ItemNotFound);
    EXPECT_FALSE(base::FileManager::defaultManager().fileExists(store.path()));  // reads create nothing

    ASSERT_EQ(store.add(item("svc", "acct", "one")), KeychainStatus::Success);
    EXPECT_EQ(store.add(item("svc", "acct", "two")), KeychainStatus::DuplicateItem);
    EXPECT_EQ(store.add(item("svc", "other", "two")), KeychainStatus::Success);
    EXPECT_EQ(store.add(item("svc2", "acct", "three")), KeychainStatus::Success);
    ASSERT_EQ(store.findData("svc", "acct", &data), KeychainStatus::Success);
    EXPECT_EQ(data, utf8("one"));
    EXPECT_EQ(store.deleteItem("svc", "acct"), KeychainStatus::Success);
    EXPECT_EQ(store.findAttributes("svc", "acct"), KeychainStatus::ItemNotFound);
    EXPECT_EQ(store.findAttributes("svc", "other"), KeychainStatus::Success);

    // An item without data is found, and says so.
    ASSERT_EQ(store.add(item("svc", "nodata", std::nullopt)), KeychainStatus::Success);
    data = utf8("stale");
    ASSERT_EQ(FileKeychain().findData("svc", "nodata", &data), KeychainStatus::Success);
    EXPECT_FALSE(data);
}

TEST(Keychain, CorruptFileIsMovedAsideAndSecretsAreNeverLogged) {
    test::TempHome home;
    auto& fm = base::FileManager::defaultManager();
    FileKeychain store;
    ASSERT_TRUE(fm.createDirectory(home.dataHome() + "/tolvek"));
    ASSERT_TRUE(fm.writeAtomically(store.path(), std::string("bplist00-torn"), nullptr, 0600));
    Logged logged;
    EXPECT_EQ(store.findAttributes("svc", "acct"), KeychainStatus::ItemNotFound);
    EXPECT_TRUE(fm.fileExists(store.path() + ".corrupt"));
    EXPECT_EQ(logged.lines.size(), 1u);
    ASSERT_EQ(store.add(item("svc", "acct", "top-secret-value")), KeychainStatus::Success);

    // A write that fails reports Other and logs the path, not the value.
    std::string blocked = home.path() + "/blocked";
    ASSERT_TRUE(fm.writeAtomically(blocked, std::string("a file where a folder should be")));
    FileKeychain broken(blocked + "/keychain.plist");
    EXPECT_EQ(broken.add(item("svc", "acct", "top-secret-value")), KeychainStatus::Other);
    ASSERT_EQ(logged.lines.size(), 2u);
    for (const auto& line : logged.lines) EXPECT_EQ(line.find("top-secret-value"), std::string::npos) << line;
}

TEST(Keychain, SharedStoreIsReplaceableAndMemoryStoreInjectsFailures) {
    test::TempHome home;
    auto memory = std::make_shared<MemoryKeychain>();
    auto previous = base::Keychain::setSharedForTesting(memory);
    EXPECT_EQ(previous, nullptr);
    auto& shared = base::Keychain::shared();
    EXPECT_EQ(&shared, memory.get());
    ASSERT_EQ(shared.add(item("svc", "acct", "pw")), KeychainStatus::Success);
    EXPECT_EQ(shared.add(item("svc", "acct", "pw")), KeychainStatus::DuplicateItem);
    EXPECT_EQ(memory->changeCount(), 1);

    memory->failOperation(MemoryKeychain::Operation::Update, static_cast<KeychainStatus>(-61));
    EXPECT_EQ(shared.update("svc", "acct", utf8("new")), static_cast<KeychainStatus>(-61));
    memory->failOperation(MemoryKeychain::Operation::FindData, KeychainStatus::Other);
    std::optional<Data> data;
    EXPECT_EQ(shared.findData("svc", "acct", &data), KeychainStatus::Other);
    EXPECT_EQ(shared.findAttributes("svc", "acct"), KeychainStatus::Success);
    memory->failOperation(MemoryKeychain::Operation::FindData, KeychainStatus::Success);
    ASSERT_EQ(shared.findData("svc", "acct", &data), KeychainStatus::Success);
    EXPECT_EQ(data, utf8("pw"));  // the failed update changed nothing
    EXPECT_EQ(memory->changeCount(), 1);

    EXPECT_EQ(base::Keychain::setSharedForTesting(nullptr), memory);
    auto* file = dynamic_cast<FileKeychain*>(&base::Keychain::shared());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->path(), home.dataHome() + "/tolvek/keychain.plist");
}

}  // namespace
