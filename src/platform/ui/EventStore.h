#pragma once
// Calendar events and the store that keeps them. An event has a title,
// start and end dates, notes and alarms at an offset from its start. The
// store saves each event as an iCalendar file (one VEVENT with its VALARMs,
// UTF-8, CRLF line ends) named after the event's stable UID in
// $XDG_DATA_HOME/tolvek/Calendar/, where desktop calendars can import it.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Date.h"
#include "platform/net/Error.h"

namespace ui {

class EventStore;

inline constexpr const char* EventStoreErrorDomain = "EKErrorDomain";

// An alarm at a number of seconds relative to the event's start (negative:
// before it).
class Alarm {
public:
    static std::shared_ptr<Alarm> alarmWithRelativeOffset(double offset) { return std::make_shared<Alarm>(offset); }
    explicit Alarm(double offset = 0) : offset_(offset) {}
    double relativeOffset() const { return offset_; }
    void setRelativeOffset(double offset) { offset_ = offset; }

private:
    double offset_;
};

class CalendarEvent {
public:
    // A new event of the store (not saved yet).
    static std::shared_ptr<CalendarEvent> eventWithEventStore(const std::shared_ptr<EventStore>& store);
    CalendarEvent();

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    base::Date startDate() const { return start_; }
    void setStartDate(base::Date date) { start_ = date; }
    base::Date endDate() const { return end_; }
    void setEndDate(base::Date date) { end_ = date; }
    const std::string& notes() const { return notes_; }
    void setNotes(std::string notes) { notes_ = std::move(notes); }
    bool isAllDay() const { return allDay_; }
    void setAllDay(bool allDay) { allDay_ = allDay; }

    const std::vector<std::shared_ptr<Alarm>>& alarms() const { return alarms_; }
    void setAlarms(std::vector<std::shared_ptr<Alarm>> alarms) { alarms_ = std::move(alarms); }
    void addAlarm(std::shared_ptr<Alarm> alarm) {
        if (alarm) alarms_.push_back(std::move(alarm));
    }

    // The UID, made once and kept, so saving again replaces the same event.
    const std::string& eventIdentifier() const { return uid_; }
    std::shared_ptr<EventStore> eventStore() const { return store_.lock(); }

private:
    friend class EventStore;
    std::string title_;
    base::Date start_, end_;
    std::string notes_;
    bool allDay_ = false;
    std::vector<std::shared_ptr<Alarm>> alarms_;
    std::string uid_;
    std::weak_ptr<EventStore> store_;
};

enum class Span { ThisEvent = 0, FutureEvents };

class EventStore : public std::enable_shared_from_this<EventStore> {
public:
    EventStore() = default;
    // The store's folder ($XDG_DATA_HOME/tolvek/Calendar unless set).
    std::string calendarDirectory() const;
    void setCalendarDirectory(std::string folder) { folder_ = std::move(folder); }

    // Writes the event's file (all or nothing). On failure answers false
    // and sets the error; no partial file is left behind.
    bool saveEvent(const std::shared_ptr<CalendarEvent>& event, Span span, std::optional<net::Error>* error = nullptr);
    // Removes the event's file.
    bool removeEvent(const std::shared_ptr<CalendarEvent>& event, Span span,
                     std::optional<net::Error>* error = nullptr);
    // Where the event is (or would be) saved.
    std::string pathForEvent(const CalendarEvent& event) const;

    // The event as iCalendar text (the file's content).
    static std::string iCalendarText(const CalendarEvent& event, base::Date stamp);
    // An offset in seconds as an iCalendar duration ("-PT5M", "PT1H30M", "P2D").
    static std::string durationText(double seconds);

private:
    std::string folder_;
};

}  // namespace ui
