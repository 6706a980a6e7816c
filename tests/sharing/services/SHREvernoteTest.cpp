// The note sharer against a loopback note service built from the generated
// Thrift processors: the calls it makes, the note it builds, and how each
// failure ends.
#include "LoginFormTestSupport.h"
#include "fakes/NoteServiceFake.h"
#include "platform/base/Digest.h"
#include "platform/gfx/Image.h"
#include "sharing/services/evernote/SHREvernote.h"

namespace formtest {
namespace {

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE en-note SYSTEM \"http://xml.evernote.com/pub/enml2.dtd\">\n"
    "<en-note style=\"word-wrap: break-word; -webkit-nbsp-mode: space; -webkit-line-break: after-white-space;\">";

class EvernoteTest : public LoginFormTest {
protected:
    void SetUp() override {
        LoginFormTest::SetUp();
        net::Services::pointAtLoopbackForTesting("Evernote", notes_.port());
        edam::Notebook other, mine;
        other.__set_guid("nb-other");
        other.__set_name("Other");
        mine.__set_guid("nb-default");
        mine.__set_name("Training");
        mine.__set_defaultNotebook(true);
        notes_.notebooks = {other, mine};
    }
    void storeLogin() { store("SHREvernote", {{"username", "anna"}, {"password", "secret"}}); }
    // Sends the item with stored credentials and waits for the report.
    void sendAndWait(const std::shared_ptr<SHRItem>& item, Reports& reports) {
        auto sharer = SHRSharer::create("SHREvernote");
        sharer->setItem(item);
        SHR::currentHelper().keepSharer(sharer);
        EXPECT_TRUE(sharer->send());
        EXPECT_TRUE(waitFor([&] { return reports.over(); }, 30));
        advance(1);
    }
    // Dismisses every alert, newest first, and gives their texts.
    std::vector<std::string> takeAlerts() {
        std::vector<std::string> texts;
        for (int i = 0; i < 5 && alert(); ++i) {
            texts.push_back(alertText());
            dismissAlert();
        }
        return texts;
    }

    fakes::NoteServiceFake notes_;
};

TEST_F(EvernoteTest, LoginThenNoteOnTheShardsStoreWithEscapedEnml) {
    Reports reports;
    auto item = SHRItem::URL(net::URL("http://example.com/log?week=3&day=2"), std::string("Week 3 & <Day 2>"));
    item->setText("50 < 60 & rising");
    item->setTags("fitness  pushups");
    SHRSharer::shareItem("SHREvernote", item);
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"username", "password"}));
    EXPECT_EQ(shownForm()->sections().at(0).rows.at(0)->label(), "Username");
    ASSERT_TRUE(submitForm({{"username", "anna"}, {"password", "secret"}}));
    EXPECT_EQ(indicatorText(), "Logging In...");
    ASSERT_TRUE(waitFor([&] { return stored("username", "SHREvernote").has_value(); }, 30));
    EXPECT_EQ(stored("password", "SHREvernote"), "secret");

    // The share form (title, tags), then the send.
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"title", "tags"}));
    const double before = clock_->now();
    ASSERT_TRUE(submitForm({}));
    ASSERT_TRUE(waitFor([&] { return reports.over(); }, 30));
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));

    // Version check and login on the user store (twice: check, then send),
    // the notebooks and the note on the shard's note store.
    auto checks = notes_.versionChecks();
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[0].clientName, "ShrareKit EDMA");
    EXPECT_EQ(checks[0].major, 1);
    EXPECT_EQ(checks[0].minor, 16);
    auto logins = notes_.authentications();
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[1].username, "anna");
    EXPECT_EQ(logins[1].password, "secret");
    EXPECT_EQ(logins[1].consumerKey, "");
    EXPECT_EQ(logins[1].consumerSecret, "");
    EXPECT_EQ(notes_.notebookListTokens(), std::vector<std::string>{notes_.token});
    std::vector<std::string> paths;
    for (const auto& r : notes_.requests()) {
        paths.push_back(r.path);
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.header("Content-Type"), "application/x-thrift");
        EXPECT_EQ(r.header("Accept"), "application/x-thrift");
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"/edam/user", "/edam/user", "/edam/user", "/edam/user", "/edam/note/s7",
                                               "/edam/note/s7"}));
    EXPECT_FALSE(notes_.sawStrictHeader());  // non-strict headers on write

    auto created = notes_.createdNotes();
    ASSERT_EQ(created.size(), 1u);
    const edam::Note& note = created[0].note;
    EXPECT_EQ(created[0].token, notes_.token);
    EXPECT_EQ(note.title, "Week 3 & <Day 2>");
    EXPECT_EQ(note.tagNames, (std::vector<std::string>{"fitness", "pushups"}));
    EXPECT_EQ(note.notebookGuid, "nb-default");
    EXPECT_EQ(note.attributes.sourceURL, "http://example.com/log?week=3&day=2");
    EXPECT_EQ(note.created % 1000, 0);
    EXPECT_GE(note.created, static_cast<int64_t>(before) * 1000);
    EXPECT_LE(note.created, static_cast<int64_t>(clock_->now()) * 1000);
    EXPECT_EQ(note.content,
              kHead +
                  "<h1><a href=\"http://example.com/log?week=3&amp;day=2\">Week 3 &amp; &lt;Day 2&gt;</a></h1>"
                  "<p><a href=\"http://example.com/log?week=3&amp;day=2\">"
                  "http://example.com/log?week=3&amp;day=2</a></p>"
                  "<p>50 &lt; 60 &amp; rising</p></en-note>");
    EXPECT_TRUE(note.resources.empty());
}

TEST_F(EvernoteTest, ImageNoteCarriesItsResource) {
    storeLogin();
    auto image =
        gfx::Image::create(5, 4, 8, 32, 20, gfx::Image::kPremultipliedFirst32Little, std::vector<std::uint8_t>(80, 90));
    Reports reports;
    sendAndWait(SHRItem::image(image), reports);
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
    auto created = notes_.createdNotes();
    ASSERT_EQ(created.size(), 1u);
    const edam::Note& note = created[0].note;
    EXPECT_EQ(note.title, "Untitled");
    EXPECT_FALSE(note.__isset.tagNames);
    ASSERT_EQ(note.resources.size(), 1u);
    const edam::Resource& resource = note.resources[0];
    const auto jpeg = image->encodeJPEG(0.6);
    const std::string body(jpeg.begin(), jpeg.end());
    EXPECT_EQ(resource.mime, "image/jpeg");
    EXPECT_EQ(resource.data.size, static_cast<int32_t>(jpeg.size()));
    EXPECT_EQ(resource.data.body, body);
    const auto digest = base::md5(jpeg);
    EXPECT_EQ(resource.data.bodyHash, std::string(digest.begin(), digest.end()));
    EXPECT_EQ(note.content, kHead + "<p><en-media type=\"image/jpeg\" height=\"4\" width=\"5\" hash=\"" +
                                base::md5Hex(jpeg) + "\"/></p></en-note>");
}

TEST_F(EvernoteTest, MediaTagAndEscaping) {
    edam::Resource resource;
    resource.data.__set_body("abc");
    resource.__set_mime("image/png");
    const std::string hash = base::md5Hex(std::string_view("abc"));
    EXPECT_EQ(SHREvernote::enMediaTagWithResource(resource, 0, 10),
              "<en-media type=\"image/png\" hash=\"" + hash + "\"/>");
    EXPECT_EQ(SHREvernote::enMediaTagWithResource(resource, std::nan(""), 10),
              "<en-media type=\"image/png\" hash=\"" + hash + "\"/>");
    EXPECT_EQ(SHREvernote::enMediaTagWithResource(resource, 10.4, 20.6),
              "<en-media type=\"image/png\" height=\"21\" width=\"10\" hash=\"" + hash + "\"/>");
    EXPECT_EQ(SHREvernote::escapeXML("a&b<c>\"d\"'e'\x01\tf"), "a&amp;b&lt;c&gt;&quot;d&quot;&apos;e&apos;\tf");

    // A link with an empty title: no heading, but the paragraph link.
    auto link = SHRItem::URL(net::URL("http://example.com/"), std::string(""));
    EXPECT_EQ(SHREvernote::noteForItem(*link, std::nullopt).content,
              kHead + "<p><a href=\"http://example.com/\">http://example.com/</a></p></en-note>");
}

TEST_F(EvernoteTest, LoginFailures) {
    SHRSharer::shareText("SHREvernote", "hello");
    ASSERT_TRUE(submitForm({{"username", "anna"}, {"password", "wrong"}}));
    ASSERT_TRUE(waitFor([&] { return alert() != nullptr; }, 30));
    EXPECT_EQ(takeAlerts(), std::vector<std::string>{"Login Error: Your username and password did not match"});
    EXPECT_FALSE(stored("username", "SHREvernote"));

    // A refused version check says so and fails the login without trying it.
    notes_.lock(), notes_.acceptVersion = false;
    ASSERT_TRUE(submitForm({{"username", "anna"}, {"password", "secret"}}));
    ASSERT_TRUE(waitFor([&] { return alert() && alert()->title() == "Login Error"; }, 30));
    EXPECT_EQ(takeAlerts(), (std::vector<std::string>{"Login Error: Your username and password did not match",
                                                      "EDMA Error: EDMA Version is too old."}));
    EXPECT_EQ(notes_.authentications().size(), 1u);
    EXPECT_FALSE(stored("username", "SHREvernote"));

    // No service at all: a failed login, no crash.
    fakes::RefusedPort refused;
    net::Services::pointAtLoopbackForTesting("Evernote", refused.port());
    ASSERT_TRUE(submitForm({{"username", "anna"}, {"password", "secret"}}));
    ASSERT_TRUE(waitFor([&] { return alert() != nullptr; }, 30));
    EXPECT_EQ(takeAlerts(), std::vector<std::string>{"Login Error: Your username and password did not match"});
}

TEST_F(EvernoteTest, ServiceUserErrorsAndReloginCodes) {
    struct Case {
        int code;
        std::string alert;
        bool relogin;
    };
    for (const Case& c : {Case{9, "Error: Could not authenticate you. Please relogin.", true},
                          Case{8, "Error: Could not authenticate you. Please relogin.", true},
                          Case{6, "Error: Evernote Error on Note.title: Unknown error from Evernote", false},
                          Case{2, "Error: Evernote Error on Note.title: Invalid format", false}}) {
        SCOPED_TRACE(c.code);
        storeLogin();
        notes_.lock(), notes_.createNoteErrorCode = c.code;
        Reports reports;
        sendAndWait(SHRItem::text("t"), reports);
        EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail"}));
        EXPECT_EQ(takeAlerts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(formKeys().empty(), !c.relogin);
        // Refused credentials are forgotten, so no later send repeats them.
        EXPECT_EQ(stored("username", "SHREvernote").has_value(), !c.relogin);
        EXPECT_EQ(stored("password", "SHREvernote").has_value(), !c.relogin);
        SHR::currentHelper().hideCurrentViewController();
        advance(1);
    }
}

TEST_F(EvernoteTest, TransportAndServiceFailuresEndCleanly) {
    storeLogin();
    const std::string generic = "Error: There was a problem sharing with Evernote";
    {
        notes_.server().once("POST", "/edam/user", fakes::Reply::text(500, "broken"));
        Reports reports;
        sendAndWait(SHRItem::text("t"), reports);
        EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail"}));
        EXPECT_EQ(takeAlerts(), std::vector<std::string>{generic});
    }
    {
        notes_.lock(), notes_.createNoteSystemError = true;
        Reports reports;
        sendAndWait(SHRItem::text("t"), reports);
        EXPECT_EQ(takeAlerts(), std::vector<std::string>{generic});
        notes_.lock(), notes_.createNoteSystemError = false;
    }
    {
        // A login answer without a user: nothing is sent to any note store.
        notes_.lock(), notes_.answerWithoutUser = true;
        const std::size_t listed = notes_.notebookListTokens().size();
        Reports reports;
        sendAndWait(SHRItem::text("t"), reports);
        EXPECT_EQ(takeAlerts(), std::vector<std::string>{generic});
        EXPECT_EQ(notes_.notebookListTokens().size(), listed);
        notes_.lock(), notes_.answerWithoutUser = false;
    }
    {
        fakes::RefusedPort refused;
        net::Services::pointAtLoopbackForTesting("Evernote", refused.port());
        Reports reports;
        sendAndWait(SHRItem::text("t"), reports);
        EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail"}));
        EXPECT_EQ(takeAlerts(), std::vector<std::string>{generic});
    }
    EXPECT_EQ(notes_.createdNotes().size(), 1u);  // only the system-error try reached createNote
}

TEST_F(EvernoteTest, OfflineFileNoteReplaysOnceWithItsMimeType) {
    storeLogin();
    Reachability::setStatusOverrideForTesting(NotReachable);
    const base::Data csv{'w', ',', 'd', '\n', '1', ',', '2', '\n'};
    SHRSharer::shareFile("SHREvernote", csv, "log.csv", "text/csv", std::string("Log"));
    // The share form comes first (title, tags).
    ASSERT_TRUE(submitForm({}));
    advance(1);
    ASSERT_TRUE(SHR::getOfflineQueueList());
    ASSERT_EQ(SHR::getOfflineQueueList()->size(), 1u);
    EXPECT_TRUE(notes_.requests().empty());

    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    SHR::flushOfflineQueue();
    EXPECT_TRUE(waitFor(
        [&] {
            auto list = SHR::getOfflineQueueList();
            return list && list->empty();
        },
        30));
    SHR::flushOfflineQueue();  // nothing left to replay
    advance(1);
    auto created = notes_.createdNotes();
    ASSERT_EQ(created.size(), 1u);
    const edam::Note& note = created[0].note;
    EXPECT_EQ(note.title, "Log");
    ASSERT_EQ(note.resources.size(), 1u);
    EXPECT_EQ(note.resources[0].mime, "text/csv");
    EXPECT_EQ(note.resources[0].data.body, std::string(csv.begin(), csv.end()));
    EXPECT_EQ(note.content,
              kHead + "<h1>Log</h1><p><en-media type=\"text/csv\" hash=\"" + base::md5Hex(csv) + "\"/></p></en-note>");
    EXPECT_FALSE(alert());  // quiet
}

TEST_F(EvernoteTest, FileWithoutMimeTypeFallsBackToBytes) {
    auto file = SHRItem::file({1, 2, 3}, "x.bin", "", std::nullopt);
    auto note = SHREvernote::noteForItem(*file, std::nullopt);
    ASSERT_EQ(note.resources.size(), 1u);
    EXPECT_EQ(note.resources[0].mime, "application/octet-stream");
    EXPECT_EQ(note.resources[0].attributes.fileName, "x.bin");
}

}  // namespace
}  // namespace formtest
