#pragma once
// The event edit screen inside its own navigation controller, presented
// modally: it shows the event's title, start and end (editable; dates as
// "YYYY-MM-DD HH:MM" local time) and its alarm, with Cancel and Save.
// Save writes the event through its store; the delegate hears the action
// taken (Saved, Canceled, or Failed with error() when the file could not be
// written, in which case an alert says why and the screen stays).
#include <memory>
#include <optional>
#include <string>

#include "platform/net/Error.h"
#include "platform/ui/EventStore.h"
#include "platform/ui/NavigationController.h"

namespace ui {

class EventEditViewController;
class EventEditScreen;

enum class EventEditViewAction { Canceled = 0, Saved = 1, Deleted = 2, Failed = 3 };

class EventEditViewDelegate {
public:
    virtual ~EventEditViewDelegate() = default;
    virtual void didCompleteWithAction(EventEditViewController& controller, EventEditViewAction action) {
        (void)controller, (void)action;
    }
};

class EventEditViewController : public NavigationController {
public:
    EventEditViewController();
    ~EventEditViewController() override;

    std::shared_ptr<EventStore> eventStore() const { return store_; }
    void setEventStore(std::shared_ptr<EventStore> store) { store_ = std::move(store); }
    std::shared_ptr<CalendarEvent> event() const { return event_; }
    void setEvent(std::shared_ptr<CalendarEvent> event);
    std::shared_ptr<EventEditViewDelegate> editViewDelegate() const { return delegate_.lock(); }
    void setEditViewDelegate(std::weak_ptr<EventEditViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // The buttons' actions.
    void save();
    void cancel();
    // Why the last save failed.
    const std::optional<net::Error>& error() const { return error_; }

    // How dates are shown and typed, and how alarm offsets read.
    static std::string dateText(base::Date date);
    static std::optional<base::Date> parseDate(const std::string& text);
    static std::string alarmText(double offset);

    void loadView() override;

private:
    friend class EventEditScreen;
    void complete(EventEditViewAction action);
    bool failWith(const std::string& title, const std::string& message);

    std::shared_ptr<EventStore> store_;
    std::shared_ptr<CalendarEvent> event_;
    std::weak_ptr<EventEditViewDelegate> delegate_;
    std::shared_ptr<EventEditScreen> screen_;
    std::optional<net::Error> error_;
    bool completed_ = false;
};

// Registers the device-service classes that code looks up by name
// ("EKEventEditViewController", "MFMailComposeViewController",
// "MFMessageComposeViewController") and their view-controller factories.
void registerDeviceServiceClasses();

}  // namespace ui
