#pragma once
// One running program per data folder: a second start hands what it was
// given to the running one and ends. A browser that finishes a login starts
// "tolvek URL", and a user may start Tolvek again from the menu; either way
// the running program takes the URL (if any) and comes to the front.
//
// Which program holds a data folder is decided by a lock on a file inside
// the folder ("instance.lock"; the folder itself where no such file exists
// or can be made), so every name that reaches the folder (a link, a path
// spelled another way) meets the same lock. The lock is taken first and
// decides alone; the kernel lets it go when its holder ends, however it
// ends. A window holds it alone; scripted runs share it, so that a window
// and a scripted run never change one folder together.
//
// Handing over is an extra on top: the holder also listens on a Unix socket
// named after the folder's identity (device and inode), in a folder only
// the user can enter: $XDG_RUNTIME_DIR/tolvek, or $XDG_CACHE_HOME/tolvek/run
// where there is no runtime folder. Only the same user's processes are
// answered. A start writes the URL (at most kMaxURLBytes), or kComeForward
// when it has none, closes its side and waits for one byte: "1" taken, "0"
// refused. When the socket cannot be made the holder still runs, and later
// starts learn that it cannot be reached.
#include <functional>
#include <memory>
#include <string>

namespace host {

class InstanceChannel {
public:
    static constexpr std::size_t kMaxURLBytes = 16 * 1024;
    // The message of a start without a URL (no URL holds a control character).
    static constexpr const char* kComeForward = "\x01";

    // How a program holds the data folder: a window alone, scripted runs
    // together.
    enum class Hold { Exclusive, Shared };

    // The lock file inside the data folder, and the socket's path.
    static std::string lockPath();
    static std::string socketPath();

    // Hands the URL to the running program. Answers true once it has taken
    // it; false when none is running, it refused, or it did not answer
    // within answerWait() seconds (a holder that is just starting is given
    // that long to listen).
    static bool handOver(const std::string& url, std::string* why = nullptr);
    // Asks the running program to come to the front; true once it has taken
    // the request.
    static bool comeForward(std::string* why = nullptr);
    // Whether a window holds this data folder (it need not be listening
    // yet). Reads only: makes no folder or file.
    static bool isHeldElsewhere();
    // How long, in all, a later start waits for the holder's answer.
    static double answerWait();
    static void setAnswerWaitForTesting(double seconds);

    InstanceChannel();
    // Stops listening and lets go of the folder.
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Takes the data folder's lock (making the folder when missing). Answers
    // false (and why) when another program holds it (heldElsewhere() then
    // tells) or it cannot be locked at all.
    bool hold(Hold how = Hold::Exclusive, std::string* why = nullptr);
    bool isHolding() const;
    // Listens for later starts, taking the lock first when not held yet:
    // each URL received is passed to onURL, and each request to come forward
    // (also after a URL) to onForward, on the main run loop. Answers false
    // (and why) when another program holds the folder (heldElsewhere() then
    // tells) or the socket cannot be made safely; in that last case the lock
    // stays held.
    bool listen(std::function<void(const std::string& url)> onURL, std::string* why = nullptr,
                std::function<void()> onForward = {});
    bool isListening() const;
    // The last hold() or listen() failed because another program holds the folder.
    bool heldElsewhere() const;
    // Stops listening, removes the socket (when it is still this one's) and
    // lets go of the folder.
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
