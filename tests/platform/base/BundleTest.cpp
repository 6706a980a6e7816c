#include "platform/base/Bundle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "TestEnvironment.h"
#include "platform/base/FileManager.h"
#include "platform/base/Log.h"

namespace {

using base::Bundle;

struct BundleDir : test::TempHome {
    std::string dir = path() + "/bundle";
    BundleDir() { base::FileManager::defaultManager().createDirectory(dir); }
    void write(const std::string& name, const std::string& content) {
        base::FileManager::defaultManager().writeAtomically(dir + "/" + name, content);
    }
    void write(const std::string& name, const base::Data& content) {
        base::FileManager::defaultManager().writeAtomically(dir + "/" + name, content);
    }
};

TEST(Bundle, MainBundleIsTheResourcesFolderBesideTheExecutable) {
    char exe[4096];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string dir = base::paths::deletingLastComponent(std::string(exe, static_cast<std::size_t>(n)));
    EXPECT_EQ(Bundle::mainBundle().resourcePath(), dir + "/resources");
    EXPECT_EQ(Bundle::mainBundle().name(), "Tolvek");
}

TEST(Bundle, PathForResourceFindsOnlyExistingFiles) {
    BundleDir b;
    b.write("Sharers.plist", std::string("<plist><dict/></plist>"));
    Bundle bundle(b.dir);
    EXPECT_EQ(bundle.pathForResource("Sharers", "plist"), b.dir + "/Sharers.plist");
    EXPECT_EQ(bundle.pathForResource("Sharers.plist", ""), b.dir + "/Sharers.plist");
    EXPECT_EQ(bundle.pathForResource("Sharers", ".plist"), b.dir + "/Sharers.plist");
    EXPECT_EQ(bundle.pathForResource("Sharers", "png"), std::nullopt);
    EXPECT_EQ(bundle.pathForResource("", ""), std::nullopt);
}

TEST(Bundle, StringsTableInKeyValueForm) {
    BundleDir b;
    b.write("Localizable.strings", std::string("/* The home screen */\n"
                                               "\"Start\" = \"Begin\";\n"
                                               "// one-line comment\n"
                                               "\"Quote \\\"me\\\"\" = \"Line\\nbreak \\U00e9\";\n"
                                               "plainKey = plainValue;\n"
                                               "\"Same\";\n"));
    b.write("Other.strings", std::string("\"Start\" = \"Go\";"));
    Bundle bundle(b.dir);
    EXPECT_EQ(bundle.localizedString("Start"), "Begin");
    EXPECT_EQ(bundle.localizedString("Quote \"me\""), "Line\nbreak \xc3\xa9");
    EXPECT_EQ(bundle.localizedString("plainKey"), "plainValue");
    EXPECT_EQ(bundle.localizedString("Same"), "Same");
    EXPECT_EQ(bundle.localizedString("Start", "", "Other"), "Go");
    EXPECT_EQ(bundle.localizedString("Missing"), "Missing");
    EXPECT_EQ(bundle.localizedString("Missing", "Fallback"), "Fallback");
    EXPECT_EQ(bundle.localizedString("Start", "", "NoSuchTable"), "Start");
}

TEST(Bundle, StringsTableAsPlistOrUtf16) {
    BundleDir b;
    b.write("Plist.strings", std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                         "<key>Done</key><string>Finished</string></dict></plist>"));
    base::Data utf16{0xFF, 0xFE};
    for (char c : std::string("\"Hi\" = \"There\";")) {
        utf16.push_back(static_cast<std::uint8_t>(c));
        utf16.push_back(0);
    }
    b.write("Wide.strings", utf16);
    Bundle bundle(b.dir);
    EXPECT_EQ(bundle.localizedString("Done", "", "Plist"), "Finished");
    EXPECT_EQ(bundle.localizedString("Hi", "", "Wide"), "There");
}

TEST(Bundle, MalformedTableKeepsEntriesBeforeTheErrorAndLogsOnce) {
    BundleDir b;
    b.write("Bad.strings", std::string("\"a\" = \"1\";\n\"b\" = \"2\"\n\"c\" = \"3\";"));
    std::vector<std::string> lines;
    auto old = base::setLogSinkForTesting([&](const std::string& l) { lines.push_back(l); });
    Bundle bundle(b.dir);
    EXPECT_EQ(bundle.localizedString("a", "", "Bad"), "1");
    EXPECT_EQ(bundle.localizedString("c", "", "Bad"), "c");
    base::setLogSinkForTesting(old);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("line 3"), std::string::npos);
}

TEST(Bundle, SetMainBundlePathRedirectsLookups) {
    BundleDir b;
    b.write("Localizable.strings", std::string("\"k\" = \"v\";"));
    std::string original = Bundle::mainBundle().resourcePath();
    Bundle::setMainBundlePathForTesting(b.dir);
    EXPECT_EQ(Bundle::mainBundle().localizedString("k"), "v");
    Bundle::setMainBundlePathForTesting(original);
    EXPECT_EQ(Bundle::mainBundle().localizedString("k"), "k");
}

}  // namespace
