#pragma once
// One running program per data folder: a second start hands what it was
// given to the running one and ends. A browser that finishes a login starts
// "tolvek URL", and a user may start Tolvek again from the menu; either way
// the running program takes the URL (if any) and comes to the front.
//
// Which program holds a data folder is decided by a lock on the folder
// itself, so every name that reaches the folder (a link, a path spelled
// another way, a bind mount) meets the same lock, whatever the folder's
// mode and whatever files lie in it. An "instance.lock" file that an older
// version kept inside the folder is ignored. The settings folder is locked
// the same way after the data folder, so that two data folders sharing one
// settings folder never run together; both locks are tried without
// waiting, and a start that cannot have both keeps neither. The locks are
// taken first and decide alone; the kernel lets them go when their holder
// ends, however it ends. A window holds them alone; scripted runs share
// them, so that a window and a scripted run never change one folder
// together.
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

    // The socket's path.
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

    // Takes the data folder's lock, then the settings folder's (making each
    // folder when missing). Answers false (and why) when another program
    // holds either (heldElsewhere() then tells) or the data folder cannot be
    // locked at all; a settings folder that cannot be locked (but is not
    // held) is noted in the program's log and the data folder's lock kept.
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
    // The last hold() or listen() failed because another program holds the
    // data folder or the settings folder.
    bool heldElsewhere() const;
    // It failed because a program on another data folder holds the settings
    // folder: that program cannot be handed anything.
    bool settingsHeldElsewhere() const;
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
