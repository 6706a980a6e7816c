#include "platform/ui/EventStore.h"

#include <cmath>
#include <ctime>

#include "platform/base/Digest.h"
#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/base/UTF8.h"

namespace ui {

namespace {

std::string utcStamp(base::Date date) {
    std::time_t t = static_cast<std::time_t>(std::floor(date.timeIntervalSince1970()));
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%dT%H%M%SZ", &tm);
    return buf;
}

std::string dayStamp(base::Date date) {
    std::time_t t = static_cast<std::time_t>(std::floor(date.timeIntervalSince1970()));
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &tm);
    return buf;
}

// TEXT values escape backslash, semicolon, comma and line breaks.
std::string escapeText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ';': out += "\\;"; break;
        case ',': out += "\\,"; break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
            break;
        case '\n': out += "\\n"; break;
        default:
            // Other control characters are not allowed in TEXT.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') break;
            out += c;
        }
    }
    return out;
}

// Content lines longer than 75 octets are folded (CRLF and a space), never
// inside a UTF-8 sequence.
void addLine(std::string& out, const std::string& line) {
    std::size_t start = 0, limit = 75;
    while (line.size() - start > limit) {
        std::size_t cut = start + limit;
        while (cut > start && base::isUTF8ContinuationByte(line[cut])) --cut;
        out.append(line, start, cut - start);
        out += "\r\n ";
        start = cut;
        limit = 74;  // the leading space counts
    }
    out.append(line, start, std::string::npos);
    out += "\r\n";
}

}  // namespace

CalendarEvent::CalendarEvent() : uid_(base::uuidString() + "@tolvek") {}

std::shared_ptr<CalendarEvent> CalendarEvent::eventWithEventStore(const std::shared_ptr<EventStore>& store) {
    auto event = std::make_shared<CalendarEvent>();
    event->store_ = store;
    return event;
}

std::string EventStore::calendarDirectory() const {
    if (!folder_.empty()) return folder_;
    return base::paths::join(base::paths::dataHome(), "Calendar");
}

std::string EventStore::pathForEvent(const CalendarEvent& event) const {
    // The UID is ours (a UUID and a host part), so it is safe as a file name.
    std::string name;
    for (char c : event.eventIdentifier()) name += (c == '/' ? '_' : c);
    return base::paths::join(calendarDirectory(), name + ".ics");
}

std::string EventStore::durationText(double seconds) {
    long long total = std::llround(seconds);
    std::string out = total < 0 ? "-P" : "P";
    unsigned long long s = static_cast<unsigned long long>(total < 0 ? -total : total);
    unsigned long long days = s / 86400, hours = s % 86400 / 3600, minutes = s % 3600 / 60, secs = s % 60;
    if (days && !hours && !minutes && !secs) {
        if (days % 7 == 0) return out + std::to_string(days / 7) + "W";
        return out + std::to_string(days) + "D";
    }
    if (days) out += std::to_string(days) + "D";
    out += "T";
    if (hours) out += std::to_string(hours) + "H";
    if (minutes) out += std::to_string(minutes) + "M";
    if (secs || (!hours && !minutes)) out += std::to_string(secs) + "S";
    return out;
}

std::string EventStore::iCalendarText(const CalendarEvent& event, base::Date stamp) {
    std::string out;
    addLine(out, "BEGIN:VCALENDAR");
    addLine(out, "VERSION:2.0");
    addLine(out, "PRODID:-//Tolvek//Tolvek//EN");
    addLine(out, "CALSCALE:GREGORIAN");
    addLine(out, "BEGIN:VEVENT");
    addLine(out, "UID:" + event.eventIdentifier());
    addLine(out, "DTSTAMP:" + utcStamp(stamp));
    base::Date end = event.endDate() < event.startDate() ? event.startDate() : event.endDate();
    if (event.isAllDay()) {
        addLine(out, "DTSTART;VALUE=DATE:" + dayStamp(event.startDate()));
        base::Date last =
            end.timeIntervalSinceDate(event.startDate()) < 86400 ? event.startDate().addingTimeInterval(86400) : end;
        addLine(out, "DTEND;VALUE=DATE:" + dayStamp(last));
    } else {
        addLine(out, "DTSTART:" + utcStamp(event.startDate()));
        addLine(out, "DTEND:" + utcStamp(end));
    }
    addLine(out, "SUMMARY:" + escapeText(event.title()));
    if (!event.notes().empty()) addLine(out, "DESCRIPTION:" + escapeText(event.notes()));
    for (const auto& alarm : event.alarms()) {
        addLine(out, "BEGIN:VALARM");
        addLine(out, "ACTION:DISPLAY");
        addLine(out, "DESCRIPTION:" + escapeText(event.title().empty() ? std::string("Reminder") : event.title()));
        addLine(out, "TRIGGER:" + durationText(alarm->relativeOffset()));
        addLine(out, "END:VALARM");
    }
    addLine(out, "END:VEVENT");
    addLine(out, "END:VCALENDAR");
    return out;
}

bool EventStore::saveEvent(const std::shared_ptr<CalendarEvent>& event, Span span, std::optional<net::Error>* error) {
    (void)span;  // events here never repeat
    if (error) error->reset();
    auto fail = [&](long code, const std::string& why) {
        if (error) *error = net::Error(EventStoreErrorDomain, code, why);
        return false;
    };
    if (!event) return fail(1, "There is no event to save.");
    if (event->endDate() < event->startDate()) return fail(2, "The event ends before it starts.");
    auto& fm = base::FileManager::defaultManager();
    std::string folder = calendarDirectory();
    std::string why;
    bool isDir = false;
    if (!(fm.fileExists(folder, &isDir) && isDir) && !fm.createDirectory(folder, true, &why))
        return fail(3, "The calendar folder " + folder + " cannot be made: " + why);
    if (!fm.writeAtomically(pathForEvent(*event), iCalendarText(*event, base::Date::now()), &why))
        return fail(4, "The event cannot be written: " + why);
    event->store_ = weak_from_this();
    return true;
}

bool EventStore::removeEvent(const std::shared_ptr<CalendarEvent>& event, Span span, std::optional<net::Error>* error) {
    (void)span;
    if (error) error->reset();
    if (!event) return false;
    std::string why;
    if (!base::FileManager::defaultManager().removeItem(pathForEvent(*event), &why)) {
        if (error) *error = net::Error(EventStoreErrorDomain, 5, "The event cannot be removed: " + why);
        return false;
    }
    return true;
}

}  // namespace ui
