#pragma once
// One running program per user takes the URLs later starts are given: a
// browser that finishes a login starts "tolvek URL"; when Tolvek is already
// running, that second process hands the URL to it and ends.
//
// The running program listens on a Unix socket in a folder only the user
// can enter: $XDG_RUNTIME_DIR/tolvek, or $XDG_CACHE_HOME/tolvek/run where
// there is no runtime folder. Only the same user's processes are answered.
// A start writes the URL (at most kMaxURLBytes), closes its side and waits
// for one byte: "1" taken, "0" refused.
#include <functional>
#include <memory>
#include <string>

namespace host {

class InstanceChannel {
public:
    static constexpr std::size_t kMaxURLBytes = 16 * 1024;

    // The socket's path.
    static std::string socketPath();

    // Hands the URL to the running program. Answers true once it has taken
    // it; false when none is running (or it did not answer, or refused).
    static bool handOver(const std::string& url, std::string* why = nullptr);

    InstanceChannel();
    // Stops listening.
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Listens for URLs; each one received is passed to onURL on the main run
    // loop. Answers false (and why) when another program listens already or
    // the socket cannot be made safely.
    bool listen(std::function<void(const std::string& url)> onURL, std::string* why = nullptr);
    bool isListening() const;
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
