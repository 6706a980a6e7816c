#include "platform/ui/EventEditViewController.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/base/ClassRegistry.h"
#include "platform/base/Format.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/Palette.h"
#include "platform/ui/TextField.h"

namespace ui {

class EventEditScreen : public ViewController {
public:
    explicit EventEditScreen(EventEditViewController& owner) : owner_(owner) {}

    void loadView() override {
        auto view = std::make_shared<View>(Rect(0, 0, 320, 416));
        view->setBackgroundColor(palette::eventBackground());
        view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
        Float y = 20;
        auto group = [&](int rows) {
            auto box = std::make_shared<View>(Rect(10, y, 300, 44 * rows));
            box->setBackgroundColor(gfx::Color::white());
            box->layer()->setCornerRadius(8);
            box->layer()->setMasksToBounds(true);
            view->addSubview(box);
            for (int i = 1; i < rows; ++i) {
                auto rule = std::make_shared<View>(Rect(0, 44 * i, 300, 1));
                rule->setBackgroundColor(gfx::Color::gray(0.8));
                box->addSubview(rule);
            }
            return box;
        };
        auto caption = [](const std::shared_ptr<View>& box, int row, const std::string& text) {
            auto label = std::make_shared<Label>(Rect(10, 44 * row, 70, 44));
            label->setText(text);
            label->setFont(gfx::Font::boldSystemFont(15));
            label->setBackgroundColor(gfx::Color::clear());
            box->addSubview(label);
        };
        auto field = [](const std::shared_ptr<View>& box, int row, Float x, const std::string& name) {
            auto f = std::make_shared<TextField>(Rect(x, 44 * row + 8, 290 - x, 28));
            f->setFont(gfx::Font::systemFont(15));
            f->setAccessibilityLabel(name);
            f->setTextColor(palette::eventValueInk());
            box->addSubview(f);
            return f;
        };

        auto titleBox = group(1);
        title = field(titleBox, 0, 10, "Title");
        title->setPlaceholder("Title");
        title->setTextColor(gfx::Color::black());
        y += 44 + 20;

        auto dates = group(2);
        caption(dates, 0, "Starts");
        caption(dates, 1, "Ends");
        starts = field(dates, 0, 84, "Starts");
        ends = field(dates, 1, 84, "Ends");
        starts->setKeyboardType(KeyboardType::NumbersAndPunctuation);
        ends->setKeyboardType(KeyboardType::NumbersAndPunctuation);
        y += 88 + 20;

        auto alarmBox = group(1);
        caption(alarmBox, 0, "Alert");
        alarm = std::make_shared<Label>(Rect(84, 0, 206, 44));
        alarm->setFont(gfx::Font::systemFont(15));
        alarm->setTextColor(palette::eventValueInk());
        alarm->setBackgroundColor(gfx::Color::clear());
        alarmBox->addSubview(alarm);
        y += 44 + 20;

        notes = std::make_shared<Label>(Rect(20, y, 280, 60));
        notes->setFont(gfx::Font::systemFont(14));
        notes->setNumberOfLines(3);
        notes->setTextColor(gfx::Color::gray(0.3));
        notes->setBackgroundColor(gfx::Color::clear());
        view->addSubview(notes);
        setView(view);
    }

    void viewDidLoad() override { show(); }

    void show() {
        if (!isViewLoaded()) return;
        auto e = owner_.event_;
        title->setText(e ? e->title() : std::string());
        shownStart = e ? EventEditViewController::dateText(e->startDate()) : std::string();
        shownEnd = e ? EventEditViewController::dateText(e->endDate()) : std::string();
        starts->setText(shownStart);
        ends->setText(shownEnd);
        std::string alarms;
        if (e) {
            for (const auto& a : e->alarms())
                alarms += (alarms.empty() ? "" : ", ") + EventEditViewController::alarmText(a->relativeOffset());
        }
        alarm->setText(alarms.empty() ? "None" : alarms);
        notes->setText(e ? e->notes() : std::string());
    }

    EventEditViewController& owner_;
    std::shared_ptr<TextField> title, starts, ends;
    std::shared_ptr<Label> alarm, notes;
    std::string shownStart, shownEnd;
};

EventEditViewController::EventEditViewController() {
    screen_ = std::make_shared<EventEditScreen>(*this);
    screen_->setTitle("Add Event");
}

EventEditViewController::~EventEditViewController() = default;

void EventEditViewController::setEvent(std::shared_ptr<CalendarEvent> event) {
    event_ = std::move(event);
    screen_->show();
}

void EventEditViewController::loadView() {
    NavigationController::loadView();
    // The bar buttons hold the controller weakly, so they keep nothing alive.
    std::weak_ptr<EventEditViewController> weak = std::static_pointer_cast<EventEditViewController>(shared_from_this());
    screen_->navigationItem()->setLeftBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Cancel, [weak](BarButtonItem&) {
            if (auto self = weak.lock()) self->cancel();
        }));
    screen_->navigationItem()->setRightBarButtonItem(
        std::make_shared<BarButtonItem>("Save", BarButtonItemStyle::Done, [weak](BarButtonItem&) {
            if (auto self = weak.lock()) self->save();
        }));
    setViewControllers({screen_});
}

std::string EventEditViewController::dateText(base::Date date) {
    std::time_t t = static_cast<std::time_t>(std::floor(date.timeIntervalSince1970()));
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &tm);
    return buf;
}

std::optional<base::Date> EventEditViewController::parseDate(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    char tail = 0;
    int n = std::sscanf(text.c_str(), " %d-%d-%d %d:%d %c", &y, &mo, &d, &h, &mi, &tail);
    if (n != 5 || y < 1900 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    // mktime rolls 31 February over into March: refuse such a day.
    if (t == static_cast<std::time_t>(-1) || tm.tm_mday != d || tm.tm_mon != mo - 1) return std::nullopt;
    return base::Date(static_cast<double>(t));
}

std::string EventEditViewController::alarmText(double offset) {
    long long s = std::llround(-offset);
    if (s == 0) return "At time of event";
    bool after = s < 0;
    if (after) s = -s;
    std::string amount;
    if (s % 86400 == 0) amount = base::format("%lld day%s", s / 86400, s == 86400 ? "" : "s");
    else if (s % 3600 == 0) amount = base::format("%lld hour%s", s / 3600, s == 3600 ? "" : "s");
    else if (s % 60 == 0) amount = base::format("%lld minute%s", s / 60, s == 60 ? "" : "s");
    else amount = base::format("%lld second%s", s, s == 1 ? "" : "s");
    return amount + (after ? " after" : " before");
}

bool EventEditViewController::failWith(const std::string& title, const std::string& message) {
    auto alert = std::make_shared<AlertView>(title, message, std::weak_ptr<AlertViewDelegate>(), std::string("OK"));
    alert->show();
    return false;
}

void EventEditViewController::save() {
    if (completed_ || !event_) return;
    // Read the screen: a date left as shown keeps its exact value.
    base::Date start = event_->startDate(), end = event_->endDate();
    if (screen_->isViewLoaded()) {
        if (screen_->starts->text() != screen_->shownStart) {
            auto d = parseDate(screen_->starts->text());
            if (!d) {
                failWith("Invalid Start", "Type the start as YYYY-MM-DD HH:MM.");
                return;
            }
            start = *d;
        }
        if (screen_->ends->text() != screen_->shownEnd) {
            auto d = parseDate(screen_->ends->text());
            if (!d) {
                failWith("Invalid End", "Type the end as YYYY-MM-DD HH:MM.");
                return;
            }
            end = *d;
        } else if (start != event_->startDate()) {
            // Moving the start moves the end with it, keeping the length.
            end = start.addingTimeInterval(event_->endDate().timeIntervalSinceDate(event_->startDate()));
        }
        if (end < start) {
            failWith("Cannot Save Event", "The start date must be before the end date.");
            return;
        }
    }
    // Save a copy first, so a failed write leaves the event as it was.
    auto edited = std::make_shared<CalendarEvent>(*event_);
    if (screen_->isViewLoaded()) edited->setTitle(screen_->title->text());
    edited->setStartDate(start);
    edited->setEndDate(end);
    if (!store_) store_ = std::make_shared<EventStore>();
    std::optional<net::Error> error;
    if (!store_->saveEvent(edited, Span::ThisEvent, &error)) {
        error_ = error;
        failWith("Cannot Save Event", error ? error->description() : std::string("The event could not be saved."));
        if (auto d = editViewDelegate()) d->didCompleteWithAction(*this, EventEditViewAction::Failed);
        return;
    }
    *event_ = *edited;
    error_.reset();
    complete(EventEditViewAction::Saved);
}

void EventEditViewController::cancel() {
    if (completed_) return;
    complete(EventEditViewAction::Canceled);
}

void EventEditViewController::complete(EventEditViewAction action) {
    completed_ = true;
    if (auto d = editViewDelegate()) d->didCompleteWithAction(*this, action);
}

void registerDeviceServiceClasses() {
    registerAvailableClass("EKEventEditViewController");
    registerAvailableClass("EKEventStore");
    registerAvailableClass("MFMailComposeViewController");
    registerAvailableClass("MFMessageComposeViewController");
    auto& registry = base::ClassRegistry<ViewController>::shared();
    registry.registerClass<EventEditViewController>("EKEventEditViewController");
    registry.registerClass<MailComposeViewController>("MFMailComposeViewController");
    registry.registerClass<MessageComposeViewController>("MFMessageComposeViewController");
}

}  // namespace ui
