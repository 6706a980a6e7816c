#include "platform/host/Instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/base/Digest.h"
#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/base/ScopedDescriptor.h"

namespace host {

namespace {

// How long the running program waits for a later start to finish its message.
constexpr double kReadSeconds = 5;
// How long a later start waits, in all, for the running program's answer.
constexpr double kDefaultAnswerWait = 3;
double answerWaitSeconds = kDefaultAnswerWait;

std::string errnoText() { return std::strerror(errno); }

void setTimeouts(int fd, double seconds) {
    const auto micros = static_cast<long long>(std::max(seconds, 0.001) * 1e6);
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(micros / 1000000);
    tv.tv_usec = static_cast<suseconds_t>(micros % 1000000);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

// True when the process at the other end of the socket is this user's.
bool peerIsSameUser(int fd) {
    ucred cred{};
    socklen_t len = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid();
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The folder the socket lives in, made when missing. It must be a real
// folder (not a link), owned by this user, that nobody else can enter; one
// of this user's with looser rights is tightened.
bool privateFolder(const std::string& folder, bool create, std::string* why) {
    auto fail = [&](std::string reason) {
        if (why) *why = std::move(reason);
        return false;
    };
    if (create) {
        base::FileManager::defaultManager().createDirectory(base::paths::deletingLastComponent(folder), true);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return fail("cannot make " + folder + ": " + errnoText());
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return fail(folder + ": " + errnoText());
    if (!S_ISDIR(st.st_mode)) return fail(folder + " is not a folder");
    if (st.st_uid != ::geteuid()) return fail(folder + " belongs to another user");
    if ((st.st_mode & 077) != 0) {
        if (!create || ::chmod(folder.c_str(), 0700) != 0) return fail(folder + " can be entered by other users");
    }
    return true;
}

bool socketAddress(const std::string& path, sockaddr_un& address, std::string* why) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        if (why) *why = "the socket path is too long: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Connects to the socket, each step waiting at most seconds; answers the
// descriptor, or none with errno set.
base::ScopedDescriptor connectTo(const sockaddr_un& address, double seconds) {
    base::ScopedDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.isOpen()) return fd;
    setTimeouts(fd.get(), seconds);
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        int saved = errno;
        fd.close();
        errno = saved;
    }
    return fd;
}

}  // namespace

bool looksLikeURL(const std::string& text) {
    if (text.size() < 2 || text.size() > InstanceChannel::kMaxURLBytes) return false;
    if (!std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    std::size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

std::string InstanceChannel::socketPath() {
    // Named after the data folder's device and inode, so that every name of
    // the folder finds the one socket and programs on other folders run
    // side by side. A folder not made yet is named by its path.
    const std::string folder = base::paths::dataHome();
    struct stat st {};
    const std::string identity =
        ::stat(folder.c_str(), &st) == 0 ? std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) : folder;
    const std::string name = "instance-" + base::md5Hex(identity).substr(0, 16);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return base::paths::join(base::paths::join(runtime, "tolvek"), name);
    return base::paths::join(base::paths::join(base::paths::cacheHome(), "run"), name);
}

double InstanceChannel::answerWait() { return answerWaitSeconds; }

void InstanceChannel::setAnswerWaitForTesting(double seconds) {
    answerWaitSeconds = seconds > 0 ? seconds : kDefaultAnswerWait;
}

namespace {

// Opens a folder to lock it: the lock is on the folder itself, which every
// name of it reaches, and a folder can be opened to be locked whatever its
// owner may write in it. Answers no descriptor (errno set) when it cannot
// be opened: missing, not a folder, or not readable by this user.
base::ScopedDescriptor openFolder(const std::string& folder) {
    return base::ScopedDescriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// Whether two open folders are one (the settings may live in the data folder).
bool sameFolder(int a, int b) {
    struct stat sa {};
    struct stat sb {};
    return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

enum class Sent { Taken, Refused, Unreachable, Silent };

// Sends one message to the running program, waiting at most seconds for
// each step, and answers how it went.
Sent sendOnce(const std::string& message, double seconds, std::string* why) {
    auto fail = [&](Sent how, std::string reason) {
        if (why) *why = std::move(reason);
        return how;
    };
    const std::string path = InstanceChannel::socketPath();
    sockaddr_un address;
    std::string reason;
    // A socket in a folder someone else controls may not be Tolvek's.
    if (!socketAddress(path, address, &reason) ||
        !privateFolder(base::paths::deletingLastComponent(path), false, &reason))
        return fail(Sent::Unreachable, "it does not listen for later starts: " + reason);
    base::ScopedDescriptor fd = connectTo(address, seconds);
    if (!fd.isOpen()) {
        if (errno == EAGAIN || errno == EINPROGRESS || errno == ETIMEDOUT)
            return fail(Sent::Silent, "it takes no more starts");
        return fail(Sent::Unreachable, "it does not listen for later starts: " + errnoText());
    }
    if (!peerIsSameUser(fd.get())) return fail(Sent::Refused, "the socket belongs to another user");
    if (!writeAll(fd.get(), message.data(), message.size()))
        return fail(Sent::Silent, "cannot send to it: " + errnoText());
    ::shutdown(fd.get(), SHUT_WR);
    char answer = 0;
    ssize_t n;
    do n = ::recv(fd.get(), &answer, 1, 0);
    while (n < 0 && errno == EINTR);
    if (n == 1 && answer == '1') return Sent::Taken;
    if (n == 1) return fail(Sent::Refused, "it refused the URL");
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return fail(Sent::Silent, base::format("it did not answer within %g seconds: it may be stopped or busy",
                                               InstanceChannel::answerWait()));
    return fail(Sent::Unreachable, "it ended without answering");
}

// Sends the message to the running program, trying again while the folder
// is held but nobody listens yet, for at most answerWait() seconds in all.
bool sendMessage(const std::string& message, std::string* why) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(InstanceChannel::answerWait());
    for (;;) {
        const double left = std::chrono::duration<double>(deadline - Clock::now()).count();
        const Sent sent = sendOnce(message, std::max(left, 0.001), why);
        if (sent == Sent::Taken) return true;
        if (sent != Sent::Unreachable || left <= 0 || !InstanceChannel::isHeldElsewhere()) return false;
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(left, 0.1)));
    }
}

}  // namespace

bool InstanceChannel::handOver(const std::string& url, std::string* why) {
    if (!looksLikeURL(url)) {
        if (why) *why = "not a URL";
        return false;
    }
    return sendMessage(url, why);
}

bool InstanceChannel::comeForward(std::string* why) { return sendMessage(kComeForward, why); }

bool InstanceChannel::isHeldElsewhere() {
    // Closing the descriptor at the end also lets go of the shared lock, if taken.
    const base::ScopedDescriptor fd = openFolder(base::paths::dataHome());
    if (!fd.isOpen()) return false;  // no folder yet, so no holder
    return ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

struct InstanceChannel::Impl {
    base::ScopedDescriptor lockFd;          // the data folder, locked
    base::ScopedDescriptor settingsLockFd;  // the settings folder, locked (none when it is the data folder)
    bool heldElsewhere = false;
    bool settingsHeldElsewhere = false;
    base::ScopedDescriptor listenFd;
    base::ScopedDescriptor stopPipe[2];
    std::thread thread;
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    std::function<void(const std::string&)> onURL;
    std::function<void()> onForward;

    void serve() {
        pollfd fds[2] = {{listenFd.get(), POLLIN, 0}, {stopPipe[0].get(), POLLIN, 0}};
        for (;;) {
            int ready = ::poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0 || (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) return;
            if (!(fds[0].revents & POLLIN)) continue;
            const base::ScopedDescriptor client(::accept4(listenFd.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!client.isOpen()) continue;
            answer(client.get());
        }
    }

    // Reads one URL (until the other side closes), answers, and passes it on
    // while the start that sent it still waits.
    void answer(int client) {
        if (!peerIsSameUser(client)) return;
        setTimeouts(client, kReadSeconds);
        std::string url;
        char buffer[4096];
        for (;;) {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return;  // timed out or broken: no answer
            if (n == 0) break;
            url.append(buffer, static_cast<std::size_t>(n));
            if (url.size() > kMaxURLBytes) break;
        }
        const bool forward = url == kComeForward;
        const bool good = forward || looksLikeURL(url);
        // A start that gave up waiting (this program was stopped a while)
        // has told its user that it ended: what it sent is then not acted on.
        const char reply = good ? '1' : '0';
        if (!writeAll(client, &reply, 1)) return;
        if (good) {
            auto handler = onURL;
            auto raise = onForward;
            base::RunLoop::main().performOnMainThread(
                [handler, raise, url, forward] {
                    if (!forward) handler(url);
                    if (raise) raise();
                },
                false);
        } else if (!url.empty()) {  // an empty one is a probe of whether this program runs
            base::log("a URL handed over from another start was refused (" + std::to_string(url.size()) + " bytes)");
        }
    }

    void close() {
        if (thread.joinable()) {
            char stop = 1;
            if (::write(stopPipe[1].get(), &stop, 1) < 0) base::log("cannot stop the URL listener: " + errnoText());
            thread.join();
        }
        listenFd.close();
        stopPipe[0].close();
        stopPipe[1].close();
        // The socket file goes only while it is still this one (a later
        // program may have put its own in place).
        struct stat st {};
        if (!path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_dev == device &&
            st.st_ino == inode)
            ::unlink(path.c_str());
        path.clear();
        settingsLockFd.close();
        lockFd.close();
    }
};

InstanceChannel::InstanceChannel() : impl_(std::make_unique<Impl>()) {}

InstanceChannel::~InstanceChannel() { stop(); }

bool InstanceChannel::isHolding() const { return impl_->lockFd.isOpen(); }

bool InstanceChannel::isListening() const { return impl_->listenFd.isOpen(); }

bool InstanceChannel::heldElsewhere() const { return impl_->heldElsewhere; }

bool InstanceChannel::settingsHeldElsewhere() const { return impl_->settingsHeldElsewhere; }

void InstanceChannel::stop() { impl_->close(); }

bool InstanceChannel::hold(Hold how, std::string* why) {
    auto fail = [&](std::string reason) {
        impl_->settingsLockFd.close();
        impl_->lockFd.close();
        if (why) *why = std::move(reason);
        return false;
    };
    impl_->heldElsewhere = false;
    impl_->settingsHeldElsewhere = false;
    if (isHolding()) return true;
    const int mode = (how == Hold::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    auto& files = base::FileManager::defaultManager();
    const std::string folder = base::paths::dataHome();
    std::string made;
    if (!files.createDirectory(folder, true, &made)) return fail(made);
    impl_->lockFd = openFolder(folder);
    if (!impl_->lockFd.isOpen()) return fail("cannot open " + folder + ": " + errnoText());
    if (::flock(impl_->lockFd.get(), mode) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        impl_->heldElsewhere = busy;
        return fail(busy ? "another Tolvek is running on " + folder : "cannot lock " + folder + ": " + errnoText());
    }

    // The settings folder, second and without waiting: a start that finds
    // it held lets go of the data folder too, so that two starts taking
    // the two folders in turn never wait on each other.
    const std::string settings = base::paths::configHome();
    // One that cannot be locked at all (made, opened or locked) is noted:
    // the data folder's lock still keeps its own files safe.
    auto unlockable = [&](const std::string& reason) {
        base::log("the settings folder cannot be locked, so a Tolvek on another data folder could use it too: " +
                  reason);
        return true;
    };
    if (!files.createDirectory(settings, true, &made)) return unlockable(made);
    base::ScopedDescriptor settingsFd = openFolder(settings);
    if (!settingsFd.isOpen()) return unlockable("cannot open " + settings + ": " + errnoText());
    if (sameFolder(impl_->lockFd.get(), settingsFd.get())) return true;  // locked already
    if (::flock(settingsFd.get(), mode) != 0) {
        if (errno != EWOULDBLOCK) return unlockable("cannot lock " + settings + ": " + errnoText());
        impl_->heldElsewhere = impl_->settingsHeldElsewhere = true;
        return fail("another Tolvek is running with the settings folder " + settings);
    }
    impl_->settingsLockFd = std::move(settingsFd);
    return true;
}

bool InstanceChannel::listen(std::function<void(const std::string& url)> onURL, std::string* why,
                             std::function<void()> onForward) {
    auto fail = [&](std::string reason) {
        if (why) *why = std::move(reason);
        return false;
    };
    if (isListening()) return fail("already listening");
    if (!onURL) return fail("nothing would receive the URLs");
    if (!hold(Hold::Exclusive, why)) return false;
    const std::string path = socketPath();
    sockaddr_un address;
    if (!socketAddress(path, address, why)) return false;
    if (!privateFolder(base::paths::deletingLastComponent(path), true, why)) return false;

    // With the lock held, a socket left in place is one a program that
    // ended could not remove.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) return fail(path + " is in the way");
        ::unlink(path.c_str());
    }

    base::ScopedDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.isOpen()) return fail("cannot make a socket: " + errnoText());
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return fail("cannot make " + path + ": " + errnoText());
    int stopPipe[2] = {-1, -1};
    if (::chmod(path.c_str(), 0600) != 0 || ::listen(fd.get(), 8) != 0 || ::lstat(path.c_str(), &st) != 0 ||
        ::pipe2(stopPipe, O_CLOEXEC) != 0) {
        std::string reason = errnoText();
        fd.close();
        ::unlink(path.c_str());
        return fail("cannot listen on " + path + ": " + reason);
    }
    impl_->stopPipe[0] = base::ScopedDescriptor(stopPipe[0]);
    impl_->stopPipe[1] = base::ScopedDescriptor(stopPipe[1]);
    impl_->listenFd = std::move(fd);
    impl_->path = path;
    impl_->device = st.st_dev;
    impl_->inode = st.st_ino;
    impl_->onURL = std::move(onURL);
    impl_->onForward = std::move(onForward);
    impl_->thread = std::thread([impl = impl_.get()] { impl->serve(); });
    return true;
}

}  // namespace host
