#pragma once
// One running program per data folder: a second start hands what it was
// given to the running one and ends. A browser that finishes a login starts
// "tolvek URL", and a user may start Tolvek again from the menu; either way
// the running program takes the URL (if any) and comes to the front.
//
// The running program holds a lock and listens on a Unix socket, both named
// after its data and settings folders, in a folder only the user can enter:
// $XDG_RUNTIME_DIR/tolvek, or $XDG_CACHE_HOME/tolvek/run where there is no
// runtime folder. Programs on other data folders do not meet. Only the same
// user's processes are answered. A start writes the URL (at most
// kMaxURLBytes), or kComeForward when it has none, closes its side and waits
// for one byte: "1" taken, "0" refused.
#include <functional>
#include <memory>
#include <string>

namespace host {

class InstanceChannel {
public:
    static constexpr std::size_t kMaxURLBytes = 16 * 1024;
    // The message of a start without a URL (no URL holds a control character).
    static constexpr const char* kComeForward = "\x01";

    // The socket's path, and the lock's beside it.
    static std::string socketPath();
    static std::string lockPath();

    // Hands the URL to the running program. Answers true once it has taken
    // it; false when none is running (or it did not answer, or refused).
    static bool handOver(const std::string& url, std::string* why = nullptr);
    // Asks the running program to come to the front; true once it has taken
    // the request.
    static bool comeForward(std::string* why = nullptr);
    // Whether another program holds this data folder (it need not be
    // listening yet). Reads only: makes no folder or file.
    static bool isHeldElsewhere();

    InstanceChannel();
    // Stops listening.
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Takes the data folder's lock and listens for later starts: each URL
    // received is passed to onURL, and each request to come forward (also
    // after a URL) to onForward, on the main run loop. Answers false (and
    // why) when another program holds the folder (heldElsewhere() then
    // tells) or the socket cannot be made safely.
    bool listen(std::function<void(const std::string& url)> onURL, std::string* why = nullptr,
                std::function<void()> onForward = {});
    bool isListening() const;
    // The last listen() failed because another program holds the folder.
    bool heldElsewhere() const;
    // Stops listening and removes the socket (when it is still this one's).
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Whether the text is a URL a command line may pass on: a scheme (a letter,
// then letters, digits, "+", "-" or "."), a colon, and no control
// characters, within kMaxURLBytes.
bool looksLikeURL(const std::string& text);

}  // namespace host
