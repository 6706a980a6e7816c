#include <gtest/gtest.h>

#include <filesystem>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/base/Keychain.h"
#include "platform/base/NotificationCenter.h"
#include "sharing/core/SHRFunctions.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/Window.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActionSheet.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRComposerBody.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRRequest.h"
#include "sharing/core/SHRShareMenu.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/SharingTestSupport.h"

namespace {

std::string serverBase;  // where the test sharer sends

// A network sharer that can share offline and sends the text with a POST.
class SHRTestNet : public SHRSharer {
public:
    std::string sharerId() const override { return "SHRTestNet"; }
    std::string sharerTitle() const override { return "Test Net"; }
    bool canShareText() const override { return true; }
    bool requiresAuthentication() const override { return false; }
    bool shouldAutoShare() override { return true; }
    bool send() override {
        if (!validateItem()) return false;
        setRequest(SHRRequest::requestWithURL(net::URL(serverBase + "/add"), "text=" + encodeParameter(*item()->text()),
                                              std::static_pointer_cast<SHRTestNet>(self()), &SHRTestNet::finished,
                                              "POST", true));
        sendDidStart();
        return true;
    }
    void finished(SHRRequest& request) {
        if (request.success()) sendDidFinish();
        else sendDidFailWithError(SHR::error("failed"));
    }

private:
    std::string encodeParameter(const std::string& s) { return ::encodeParameter(s); }
};

// A sharer whose send answers NO without a report.
class SHRTestSilent : public SHRTestNet {
public:
    std::string sharerId() const override { return "SHRTestSilent"; }
    bool send() override { return false; }
};

class SHRCoreTest : public sharingtest::SharingTest {
protected:
    void SetUp() override {
        SharingTest::SetUp();
        SHRSharer::registerSharer<SHRTestNet>("SHRTestNet");
        SHRSharer::registerSharer<SHRTestSilent>("SHRTestSilent");
        serverBase = server_.baseURL();
        ui::Pasteboard::generalPasteboard().clearForTesting();
    }
    std::vector<std::string> stored(int type) {
        std::vector<std::string> out;
        const auto array = defaults().arrayForKey(base::format("SHR_FAVS_%i", type)).value_or(base::Array{});
        for (const auto& v : array) out.push_back(v.stringValue());
        return out;
    }
    // Runs the main loop (real time too) until cond holds.
    bool waitFor(const std::function<bool()>& cond, double seconds = 10) {
        return base::RunLoop::main().runUntil(cond, seconds);
    }

    fakes::HttpServer server_;
};

TEST_F(SHRCoreTest, FavouritesDefaultPushCapAndExclusions) {
    EXPECT_EQ(SHR::favoriteSharersForType(2), (std::vector<std::string>{"SHRMail", "SHRTwitter", "SHRFacebook"}));
    EXPECT_EQ(stored(2), (std::vector<std::string>{"SHRMail", "SHRTwitter", "SHRFacebook"}));  // stored at once
    EXPECT_TRUE(SHR::favoriteSharersForType(7).empty());

    SHR::pushOnFavorites("SHRCopy", 2);
    EXPECT_EQ(stored(2), (std::vector<std::string>{"SHRCopy", "SHRMail", "SHRTwitter"}));
    SHR::pushOnFavorites("SHRTwitter", 2);  // moved, not duplicated
    EXPECT_EQ(stored(2), (std::vector<std::string>{"SHRTwitter", "SHRCopy", "SHRMail"}));

    defaults().setObject("SHRExcluded", base::Dictionary{{"SHRTwitter", "1"}});
    EXPECT_EQ(SHR::favoriteSharersForType(2), (std::vector<std::string>{"SHRCopy", "SHRMail"}));
    defaults().removeObjectForKey("SHRExcluded");
    EXPECT_EQ(SHR::favoriteSharersForType(2), (std::vector<std::string>{"SHRCopy", "SHRMail"}));  // gone for good
}

TEST_F(SHRCoreTest, KeychainValuesAndLogout) {
    SHR::setAuthValue("anna", "username", "SHRTestNet");
    EXPECT_EQ(keychain_->items().at(0).attributes.service, "SHR_AUTH_SHRTestNet");
    EXPECT_EQ(keychain_->items().at(0).attributes.label, "SHR_AUTH_SHRTestNet");
    const int changes = keychain_->changeCount();
    SHR::setAuthValue("anna", "username", "SHRTestNet");  // identical: no write
    EXPECT_EQ(keychain_->changeCount(), changes);
    SHR::setAuthValue("bob", "username", "SHRTestNet");
    EXPECT_EQ(SHR::getAuthValueForKey("username", "SHRTestNet"), "bob");

    std::optional<net::Error> error;
    EXPECT_FALSE(SFHFKeychainUtils::storeUsername("", "x", "s", true, &error));
    EXPECT_EQ(error->code(), -2000);
    // An item without a password reads as an error and is replaced on store.
    keychain_->add(base::KeychainItem{{"svc", "acct", "svc"}, std::nullopt});
    EXPECT_FALSE(SFHFKeychainUtils::getPasswordForUsername("acct", "svc", &error));
    EXPECT_EQ(error->code(), -1999);
    EXPECT_TRUE(SFHFKeychainUtils::storeUsername("acct", "pw", "svc", true, &error));
    EXPECT_EQ(SFHFKeychainUtils::getPasswordForUsername("acct", "svc", &error), "pw");

    // Logging out removes every login field's value (one field was enough
    // to count as authorized).
    auto sharer = SHRSharer::create("SHRTestSilent");
    SHR::setAuthValue("pw", "password", "SHRTestSilent");
    SHR::logoutOfService("SHRTestSilent");
    EXPECT_FALSE(SHR::getAuthValueForKey("password", "SHRTestSilent"));
    SHR::logoutOfService("SHRNoSuchSharer");  // skipped
}

TEST_F(SHRCoreTest, ItemDictionaryRoundTripKeepsURLEscapes) {
    auto item = SHRItem::URL(net::URL("http://example.com/a%20b?q=%C3%A9"), "T");
    item->setText("text");
    item->setTags("t1 t2");
    item->setCustomValue(base::Value("1"), "autoShare");
    item->setImage(gfx::Image::create(2, 2, 8, 32, 8, gfx::Image::kPremultipliedFirst32Little,
                                      std::vector<std::uint8_t>(16, 200)));
    auto back = SHRItem::itemFromDictionary(item->dictionaryRepresentation());
    EXPECT_EQ(back->shareType(), 1);
    EXPECT_EQ(back->URL()->absoluteString(), "http://example.com/a%20b?q=%C3%A9");
    EXPECT_EQ(back->title(), "T");
    EXPECT_EQ(back->text(), "text");
    EXPECT_EQ(back->tags(), "t1 t2");
    EXPECT_TRUE(back->customBoolForSwitchKey("autoShare"));
    ASSERT_TRUE(back->image());
    EXPECT_EQ(back->image()->width(), 2);

    auto file = SHRItem::file({1, 2, 3}, "log.csv", "application/csv", "Log File");
    auto dict = file->dictionaryRepresentation();
    EXPECT_EQ(dict.keys(), (std::vector<std::string>{"shareType", "title"}));
    file->setCustomValue(base::Value(), "missing");
    EXPECT_TRUE(file->custom()->empty());
}

TEST_F(SHRCoreTest, CapabilitiesAndValidation) {
    auto mail = SHRSharer::create("SHRMail");
    EXPECT_FALSE(mail->canShareType(0));
    EXPECT_FALSE(mail->canShareType(5));
    EXPECT_TRUE(mail->canShareType(4));
    mail->setItem(std::make_shared<SHRItem>());
    mail->item()->setShareType(4);
    EXPECT_FALSE(mail->validateItem());
    mail->setItem(SHRItem::text(""));
    EXPECT_TRUE(mail->validateItem());
    EXPECT_FALSE(SHRSharer::create("SHRTextMessage")->canShare());
    EXPECT_EQ(SHRSharer::create("SHRNope"), nullptr);
    EXPECT_EQ(Reachability::networkStatusForFlags(ReachabilityFlags::Reachable | ReachabilityFlags::IsWWAN), 2);
    EXPECT_EQ(Reachability::networkStatusForFlags(ReachabilityFlags::Reachable | ReachabilityFlags::ConnectionRequired),
              0);
}

TEST_F(SHRCoreTest, ShareSheetListsUsableFavouritesThenMoreAndCancel) {
    SHR::setFavorites({"SHRTextMessage", "SHRMail", "SHRNope", "SHRCopy"}, 2);
    auto sheet = SHRActionSheet::actionSheetForItem(SHRItem::text("hello"));
    EXPECT_EQ(sheet->title(), "Share");
    EXPECT_EQ(sheet->sharers(), (std::vector<std::string>{"SHRMail", "SHRCopy"}));
    ASSERT_EQ(sheet->numberOfButtons(), 4);
    EXPECT_EQ(sheet->buttonTitleAtIndex(2), "More...");
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);

    // "Copy" from the sheet puts the text on the pasteboard.
    sheet->showInView(root_->view());
    advance(1);
    sheet->buttonTapped(1);
    advance(1);
    EXPECT_EQ(ui::Pasteboard::generalPasteboard().string(), "hello");
    EXPECT_EQ(stored(2).front(), "SHRCopy");
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);  // released when done
}

TEST_F(SHRCoreTest, MenuSectionsAndExclusionsEditor) {
    auto menu = std::make_shared<SHRCustomShareMenu>(ui::TableViewStyle::Grouped);
    menu->setItem(SHRItem::URL(net::URL("http://example.com/")));
    menu->view();
    auto names = [&](int s) {
        std::vector<std::string> out;
        for (const auto& row : menu->tableData()[s]) out.push_back(row.name);
        return out;
    };
    EXPECT_EQ(names(0), (std::vector<std::string>{"Copy", "Email", "Open in Safari"}));  // no SMS, no album
    // The service sharers of this build that take links (unlisted ones are skipped).
    const auto services = names(1);
    EXPECT_NE(std::find(services.begin(), services.end(), "Delicious"), services.end());
    EXPECT_NE(std::find(services.begin(), services.end(), "Instapaper"), services.end());
    EXPECT_EQ(menu->titleForHeaderInSection(*menu->tableView(), 0), "Actions");
    EXPECT_EQ(menu->titleForHeaderInSection(*menu->tableView(), 1), "Services");

    menu->edit();
    menu->didSelectRowAtIndexPath(*menu->tableView(), ui::IndexPath{0, 1});  // Email off
    EXPECT_TRUE(menu->exclusions().contains("SHRMail"));
    EXPECT_FALSE(defaults().dictionaryForKey("SHRExcluded"));  // nothing stored before Done
    menu->save();
    advance(1);
    EXPECT_EQ(names(0), (std::vector<std::string>{"Copy", "Open in Safari"}));
    EXPECT_TRUE(defaults().dictionaryForKey("SHRExcluded")->contains("SHRMail"));
    menu->edit();
    advance(1);
    EXPECT_EQ(names(0).size(), 3u);  // excluded rows come back while editing
}

TEST_F(SHRCoreTest, FormKeepsValueOfAReusedCellAndSwitchValues) {
    auto form = std::make_shared<SHRCustomFormController>(ui::TableViewStyle::Grouped, "Login", "Login");
    std::vector<std::shared_ptr<SHRFormFieldSettings>> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back(SHRFormFieldSettings::label(base::format("Field %i", i), base::format("k%i", i), 0, ""));
    form->addSection(rows, std::nullopt, std::nullopt);
    form->addSection({SHRFormFieldSettings::label("Auto Share", "autoShare", SHRFormFieldTypeSwitch, "1")},
                     std::nullopt, std::nullopt);
    EXPECT_GT(form->labelWidth(), 0);
    SHR::currentHelper().showViewController(form);
    advance(1);
    ASSERT_TRUE(form->isViewLoaded());
    auto table = form->tableView();
    table->layoutIfNeeded();
    auto cell = std::dynamic_pointer_cast<SHRFormFieldCell>(table->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    cell->textField()->setText("typed");
    table->scrollToRowAtIndexPath({1, 0}, ui::TableViewScrollPosition::Bottom, false);
    table->layoutIfNeeded();
    EXPECT_EQ(form->formValues().at("k0"), "typed");
    EXPECT_EQ(form->formValuesForSection(1).at("autoShare"), "1");
    auto toggleCell = std::dynamic_pointer_cast<SHRFormFieldCell>(table->cellForRowAtIndexPath({1, 0}));
    ASSERT_TRUE(toggleCell && toggleCell->toggle());
    toggleCell->toggle()->setOn(false);
    EXPECT_EQ(form->formValuesForSection(1).at("autoShare"), "0");

    bool saved = false;
    form->setSaveSelector([&](SHRFormController&) { saved = true; });
    form->cancel();
    advance(1);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(SHR::currentHelper().currentView());
    SHR::currentHelper().hideCurrentViewController();  // twice is harmless
}

TEST_F(SHRCoreTest, IndicatorFadesOnTheClock) {
    auto indicator = SHRActivityIndicator::currentIndicator();
    indicator->displayActivity("Saving to Test");
    EXPECT_EQ(indicator->frame(), ui::Rect(80, 160, 160, 160));
    advance(0.3);
    EXPECT_DOUBLE_EQ(indicator->presentationAlpha(), 1);
    indicator->displayCompleted("Saved!");
    EXPECT_EQ(SHRActivityIndicator::currentIndicator(), indicator);  // one panel
    EXPECT_FALSE(indicator->spinner());
    EXPECT_EQ(indicator->centerMessageLabel()->text(), "\u2713");
    advance(0.55);
    EXPECT_TRUE(indicator->window());
    advance(0.2);  // the fade-out has begun at 0.6 s
    EXPECT_LT(indicator->presentationAlpha(), 1);
    advance(0.5);
    EXPECT_FALSE(indicator->window());
    EXPECT_FALSE(SHRActivityIndicator::existingIndicator());
}

TEST_F(SHRCoreTest, MailBodyEscapesAndTextMessageUsesLineBreaks) {
    auto item = SHRItem::text("a < b & c");
    item->setURL(net::URL("http://x.org/%C3%A9"));
    EXPECT_EQ(SHRComposerBody(*item, SHRBodyStyle::HTML, true), "a &lt; b &amp; c<br/><br/>http://x.org/\u00e9");
    item->setText("changed");
    EXPECT_EQ(SHRComposerBody(*item, SHRBodyStyle::HTML, true), "a &lt; b &amp; c<br/><br/>http://x.org/\u00e9");
    auto sms = SHRItem::text("one");
    sms->setURL(net::URL("http://x.org/"));
    EXPECT_EQ(SHRComposerBody(*sms, SHRBodyStyle::PlainText, false), "one\n\nhttp://x.org/");
    auto file = SHRItem::file({1}, "log.csv", "application/csv", "Log File");
    EXPECT_EQ(SHRComposerBody(*file, SHRBodyStyle::HTML, true), "Attached: Log File");
}

TEST_F(SHRCoreTest, SafariOpensOnlyWebLinks) {
    int failures = 0;
    auto token = base::NotificationCenter::defaultCenter().addObserver(this, SHRSendDidFailWithError, nullptr,
                                                                       [&](const base::Notification&) { ++failures; });
    SHRSharer::shareURL("SHRSafari", net::URL("file:///etc/passwd"));
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(ui::Application::sharedApplication().openedURLs().empty());
    base::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(SHRCoreTest, OfflineShareIsQueuedAndReplayedAtTheNextStart) {
    server_.on("POST", "/add", fakes::Reply::text(200, "ok"));
    Reachability::setStatusOverrideForTesting(NotReachable);
    SHRSharer::shareText("SHRTestNet", "first");
    SHRSharer::shareText("SHRTestNet", "second");
    advance(0.1);
    auto list = SHR::getOfflineQueueList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0]["sharer"].stringValue(), "SHRTestNet");
    EXPECT_EQ((*list)[0]["item"]["text"].stringValue(), "first");
    EXPECT_EQ((*list)[0]["uid"].stringValue().rfind("SHRTestNet-2-", 0), 0u);
    EXPECT_EQ(base::FileManager::defaultManager().contentsOfDirectory(SHR::offlineQueuePath()).size(), 1u);

    SHR::flushOfflineQueue();  // still offline: nothing happens
    EXPECT_EQ(server_.requestCount(), 0u);

    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    SHR::flushOfflineQueue();
    EXPECT_TRUE(waitFor([&] {
        auto now = SHR::getOfflineQueueList();
        return now && now->empty();
    }));
    EXPECT_EQ(server_.requestCount(), 2u);
}

TEST_F(SHRCoreTest, FailedOrSilentReplayKeepsItsEntry) {
    server_.on("POST", "/add", fakes::Reply::text(500, "no"));
    Reachability::setStatusOverrideForTesting(NotReachable);
    SHRSharer::shareText("SHRTestNet", "kept");
    SHRSharer::shareText("SHRTestSilent", "silent");
    base::FileManager::defaultManager().writeAtomically(base::paths::join(SHR::offlineQueuePath(), "stray"),
                                                        std::string("x"));
    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    SHR::flushOfflineQueue();
    auto queue = SHR::currentHelper().offlineQueue();
    ASSERT_TRUE(queue);
    EXPECT_TRUE(waitFor([&] { return queue->operationCount() == 0; }));
    EXPECT_EQ(SHR::getOfflineQueueList()->size(), 2u);
    EXPECT_FALSE(base::FileManager::defaultManager().fileExists(base::paths::join(SHR::offlineQueuePath(), "stray")));

    // A bad uid is refused rather than used as a path.
    EXPECT_FALSE(SHR::isValidQueueUid("../x"));
    EXPECT_FALSE(SHR::isValidQueueUid("a/b"));
}

// A share held up by a server that does not answer can be stopped from its
// progress panel: it reports cancelled, and the late answer reports nothing.
TEST_F(SHRCoreTest, TheProgressPanelCancelsAShareBeingSent) {
    server_.on("POST", "/add", fakes::Reply::text(200, "ok").after(30));
    std::vector<std::string> reports;
    auto& center = base::NotificationCenter::defaultCenter();
    std::vector<base::NotificationCenter::Token> tokens;
    for (const char* name : {SHRSendDidFinish, SHRSendDidFailWithError, SHRSendDidCancel})
        tokens.push_back(center.addObserver(this, name, nullptr,
                                            [&reports, name](const base::Notification&) { reports.push_back(name); }));
    SHRSharer::shareText("SHRTestNet", "slow");
    ASSERT_TRUE(server_.waitForRequests(1));
    advance(1);
    auto indicator = SHRActivityIndicator::existingIndicator();
    ASSERT_TRUE(indicator && indicator->cancelButton());
    std::string why;
    ASSERT_TRUE(ui::Application::sharedApplication().tapElement("Cancel", &why)) << why;
    advance(2);
    EXPECT_EQ(reports, std::vector<std::string>{SHRSendDidCancel});
    EXPECT_FALSE(SHRActivityIndicator::existingIndicator());
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
    for (auto& token : tokens) center.removeObserver(token);
}

TEST_F(SHRCoreTest, QueueWriteFailureIsNotReportedAsQueued) {
    Reachability::setStatusOverrideForTesting(NotReachable);
    const std::string folder = SHR::offlineQueuePath();
    std::filesystem::create_directory(SHR::offlineQueueListPath());  // a folder where the list should go
    auto sharer = SHRSharer::create("SHRTestNet");
    sharer->setItem(SHRItem::text("lost?"));
    SHR::currentHelper().keepSharer(sharer);
    EXPECT_FALSE(sharer->tryToSend());
    EXPECT_TRUE(ui::Application::sharedApplication().frontAlert());
}

TEST_F(SHRCoreTest, WorkoutTextByMailEndsInTheOutbox) {
    std::optional<ui::OutboxMessage> handed;
    ui::MailComposeViewController::setHandoffForTesting([&](const ui::OutboxMessage& m) {
        handed = m;
        return true;
    });
    const std::string text =
        "Today I did a total of 42 pushups thanks to the Tolvek iPhone app. (Week 1, Day 2, Level 1) #Tolvek";
    auto sharer = SHRSharer::shareItem("SHRMail", SHRItem::text(text));
    advance(1);
    auto composer = std::dynamic_pointer_cast<ui::MailComposeViewController>(SHR::currentHelper().currentView());
    ASSERT_TRUE(composer);
    EXPECT_TRUE(composer->isBodyHTML());
    EXPECT_EQ(composer->messageBody(), text);
    composer->send();
    advance(1);
    ASSERT_FALSE(composer->lastWrittenPath().empty());
    EXPECT_EQ(composer->lastWrittenPath().substr(composer->lastWrittenPath().size() - 4), ".eml");
    ASSERT_TRUE(handed);
    EXPECT_EQ(handed->plainBody, text);
    EXPECT_FALSE(SHR::currentHelper().currentView());
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
    ui::MailComposeViewController::resetHandoffForTesting();
}

}  // namespace
