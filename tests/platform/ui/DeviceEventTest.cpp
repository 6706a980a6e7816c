#include <libical/ical.h>

#include "DeviceTestSupport.h"
#include "platform/base/ClassRegistry.h"
#include "platform/base/FileManager.h"
#include "platform/ui/EventEditViewController.h"

using namespace ui;
using devicetest::filesIn;
using devicetest::readFile;

namespace {

class EditRecorder : public EventEditViewDelegate {
public:
    void didCompleteWithAction(EventEditViewController& c, EventEditViewAction action) override {
        actions.push_back(action);
        if (action != EventEditViewAction::Failed) c.dismissModalViewControllerAnimated(false);
    }
    std::vector<EventEditViewAction> actions;
};

// The one VEVENT of an iCalendar file, parsed by libical (null if invalid).
struct Parsed {
    icalcomponent* root = nullptr;
    icalcomponent* event = nullptr;
    explicit Parsed(const std::string& text) {
        root = icalparser_parse_string(text.c_str());
        if (root) event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT);
    }
    ~Parsed() {
        if (root) icalcomponent_free(root);
    }
};

class DeviceEventTest : public devicetest::DeviceTest {
protected:
    std::string calendarFolder() const { return tempHome_.dataHome() + "/tolvek/Calendar"; }
    // The reminder the workout offers: two days ahead, 15 minutes, an alarm
    // five minutes before.
    std::shared_ptr<EventEditViewController> reminderEditor() {
        store_ = std::make_shared<EventStore>();
        auto event = CalendarEvent::eventWithEventStore(store_);
        event->setTitle("Tolvek - Sets to do");
        event->setStartDate(base::Date::now().addingTimeInterval(172800));
        event->setEndDate(event->startDate().addingTimeInterval(900));
        event->addAlarm(Alarm::alarmWithRelativeOffset(-300));
        auto editor = std::make_shared<EventEditViewController>();
        editor->setEventStore(store_);
        editor->setEvent(event);
        editor->setEditViewDelegate(recorder_);
        return editor;
    }
    std::shared_ptr<EventStore> store_;
    std::shared_ptr<EditRecorder> recorder_ = std::make_shared<EditRecorder>();
};

TEST_F(DeviceEventTest, SaveWritesAnICalendarFileThatLibicalReadsBack) {
    auto editor = reminderEditor();
    present(editor);
    EXPECT_TRUE(app().isTextVisible("Tolvek - Sets to do"));
    EXPECT_TRUE(app().isTextVisible("5 minutes before"));
    EXPECT_TRUE(app().isTextVisible(EventEditViewController::dateText(editor->event()->startDate())));
    shoot("event-edit");
    ASSERT_TRUE(tapNamed("Save"));
    ASSERT_EQ(recorder_->actions, std::vector<EventEditViewAction>{EventEditViewAction::Saved});

    auto files = filesIn(calendarFolder());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], store_->pathForEvent(*editor->event()));
    std::string text = readFile(files[0]);
    // CRLF line ends throughout, and the five-minute alarm as written.
    EXPECT_NE(text.find("TRIGGER:-PT5M\r\n"), std::string::npos);
    for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ASSERT_EQ(text[i - 1], '\r');

    Parsed parsed(text);
    ASSERT_NE(parsed.event, nullptr);
    EXPECT_STREQ(icalcomponent_get_summary(parsed.event), "Tolvek - Sets to do");
    EXPECT_EQ(icalcomponent_get_uid(parsed.event), editor->event()->eventIdentifier());
    icaltimetype start = icalcomponent_get_dtstart(parsed.event);
    EXPECT_EQ(static_cast<long long>(icaltime_as_timet(start)),
              static_cast<long long>(editor->event()->startDate().timeIntervalSince1970()));
    icaltimetype end = icalcomponent_get_dtend(parsed.event);
    EXPECT_EQ(icaltime_as_timet(end) - icaltime_as_timet(start), 900);
    icalcomponent* alarm = icalcomponent_get_first_component(parsed.event, ICAL_VALARM_COMPONENT);
    ASSERT_NE(alarm, nullptr);
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    ASSERT_NE(trigger, nullptr);
    EXPECT_EQ(icaldurationtype_as_int(icalproperty_get_trigger(trigger).duration), -300);
}

TEST_F(DeviceEventTest, TheUserChangesTitleAndStartAndSavingAgainKeepsOneFile) {
    auto editor = reminderEditor();
    present(editor);
    auto title = app().findElement("Title");
    ASSERT_TRUE(title);
    ASSERT_TRUE(tapNamed("Title"));
    for (std::size_t i = 0; i < std::string("Tolvek - Sets to do").size(); ++i) app().pressBackspace();
    app().typeText("Push-ups, then rest; well done\\");
    ASSERT_TRUE(tapNamed("Starts"));
    for (int i = 0; i < 20; ++i) app().pressBackspace();
    app().typeText("2027-01-15 07:30");
    ASSERT_TRUE(tapNamed("Save"));
    ASSERT_EQ(recorder_->actions.size(), 1u);
    auto expected = EventEditViewController::parseDate("2027-01-15 07:30");
    ASSERT_TRUE(expected);
    EXPECT_EQ(editor->event()->startDate(), *expected);
    // The end moved with the start.
    EXPECT_EQ(editor->event()->endDate(), expected->addingTimeInterval(900));
    Parsed parsed(readFile(store_->pathForEvent(*editor->event())));
    ASSERT_NE(parsed.event, nullptr);
    // Commas, semicolons and backslashes survive escaping.
    EXPECT_STREQ(icalcomponent_get_summary(parsed.event), "Push-ups, then rest; well done\\");
    EXPECT_EQ(icaltime_as_timet(icalcomponent_get_dtstart(parsed.event)),
              static_cast<time_t>(expected->timeIntervalSince1970()));

    // The same event saved again replaces its file (stable UID).
    ASSERT_TRUE(store_->saveEvent(editor->event(), Span::ThisEvent));
    EXPECT_EQ(filesIn(calendarFolder()).size(), 1u);
}

TEST_F(DeviceEventTest, AnUnreadableDateOrAnEndBeforeTheStartIsRefusedAndNothingIsWritten) {
    auto editor = reminderEditor();
    present(editor);
    ASSERT_TRUE(tapNamed("Ends"));
    for (int i = 0; i < 20; ++i) app().pressBackspace();
    app().typeText("2026-02-31 10:00");  // no such day
    ASSERT_TRUE(tapNamed("Save"));
    EXPECT_TRUE(app().isTextVisible("Invalid End"));
    EXPECT_TRUE(recorder_->actions.empty());
    ASSERT_TRUE(tapNamed("OK"));
    advance(1);
    for (int i = 0; i < 20; ++i) app().pressBackspace();
    app().typeText("2000-01-01 10:00");
    ASSERT_TRUE(tapNamed("Save"));
    EXPECT_TRUE(app().isTextVisible("The start date must be before the end date."));
    EXPECT_TRUE(recorder_->actions.empty());
    EXPECT_TRUE(filesIn(calendarFolder()).empty());
}

TEST_F(DeviceEventTest, CancelWritesNothingAndReportsCanceled) {
    auto editor = reminderEditor();
    present(editor);
    ASSERT_TRUE(tapNamed("Cancel"));
    EXPECT_EQ(recorder_->actions, std::vector<EventEditViewAction>{EventEditViewAction::Canceled});
    EXPECT_TRUE(filesIn(calendarFolder()).empty());
    // A finished editor reports nothing more.
    editor->save();
    EXPECT_EQ(recorder_->actions.size(), 1u);
}

TEST_F(DeviceEventTest, AFailedWriteIsReportedAsFailedWithAnErrorAndLeavesNoFile) {
    // A file where the calendar folder should be.
    std::filesystem::create_directories(tempHome_.dataHome() + "/tolvek");
    std::ofstream(calendarFolder()) << "in the way";
    auto editor = reminderEditor();
    present(editor);
    ASSERT_TRUE(tapNamed("Save"));
    EXPECT_EQ(recorder_->actions, std::vector<EventEditViewAction>{EventEditViewAction::Failed});
    ASSERT_TRUE(editor->error().has_value());
    EXPECT_FALSE(editor->error()->description().empty());
    EXPECT_TRUE(app().isTextVisible("Cannot Save Event"));
    EXPECT_EQ(readFile(calendarFolder()), "in the way");
    EXPECT_EQ(devicetest::filesIn(tempHome_.dataHome() + "/tolvek").size(), 1u);
}

TEST_F(DeviceEventTest, DurationsAndLongLinesFollowTheFormat) {
    EXPECT_EQ(EventStore::durationText(-300), "-PT5M");
    EXPECT_EQ(EventStore::durationText(0), "PT0S");
    EXPECT_EQ(EventStore::durationText(5400), "PT1H30M");
    EXPECT_EQ(EventStore::durationText(-172800), "-P2D");
    EXPECT_EQ(EventStore::durationText(604800), "P1W");
    EXPECT_EQ(EventStore::durationText(90061), "P1DT1H1M1S");
    EXPECT_EQ(EventEditViewController::alarmText(-300), "5 minutes before");
    EXPECT_EQ(EventEditViewController::alarmText(-3600), "1 hour before");
    EXPECT_EQ(EventEditViewController::alarmText(0), "At time of event");

    CalendarEvent event;
    std::string title;
    for (int i = 0; i < 30; ++i) title += "Liegestütz ";  // long, with two-byte characters
    title += "Ende";
    event.setTitle(title);
    event.setNotes("line one\nline two");
    event.setStartDate(base::Date(1800000000));
    event.setEndDate(base::Date(1800000900));
    std::string text = EventStore::iCalendarText(event, base::Date(1800000000));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 75u);
        start = end + 2;
    }
    Parsed parsed(text);
    ASSERT_NE(parsed.event, nullptr);
    EXPECT_EQ(std::string(icalcomponent_get_summary(parsed.event)), title);
    EXPECT_EQ(std::string(icalcomponent_get_description(parsed.event)), "line one\nline two");
}

TEST_F(DeviceEventTest, TheEditorIsFoundByName) {
    EXPECT_TRUE(isClassAvailable("EKEventEditViewController"));
    EXPECT_TRUE(isClassAvailable("MFMailComposeViewController"));
    auto made = base::ClassRegistry<ViewController>::shared().create("EKEventEditViewController");
    EXPECT_NE(std::dynamic_pointer_cast<EventEditViewController>(made), nullptr);
}

}  // namespace
