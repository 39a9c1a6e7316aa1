#include "platform/WindowTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <utility>

#include "platform/Paths.h"

// Windows are Unix stream sockets in one private folder; a title is a symbolic link to the
// socket's name. A message is a 28-byte header plus payload, answered by an 8-byte result; a
// sender keeps its connection to a window open for the next message, and a window serves every
// connection it has accepted. docs/companion-protocol.md is the reference for the wire contract.

namespace orx {

namespace {

constexpr char kMagic[4] = {'O', 'R', 'X', 'M'};
constexpr size_t kHeaderBytes = 28;
constexpr size_t kMaxTitleBytes = 126;
constexpr int kRequestReadLimitMs = 1000;
constexpr int kDefaultSendTimeoutMs = 10000;
// While a peer's backlog is full the sender retries its connect at this interval.
constexpr int kBusyRetryMs = 5;
// A sender first waits this long for its reply in a plain blocking read (see Exchange).
constexpr int kPlainReplyWaitUs = 1000;
// A window keeps at most this many open connections; a sender keeps at most this many idle ones.
// Beyond them the newest is closed after its reply, and its sender connects again next time.
constexpr size_t kMaxWindowConnections = 64;
constexpr size_t kMaxIdleConnections = 16;

std::atomic<int> g_sendTimeoutMs{kDefaultSendTimeoutMs};

// Owns one file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

std::string HandleHex(WindowHandle h) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(h));
    return buf;
}

// The window folder as last validated. Validation creates the folder when missing and refuses it
// unless it is a real directory (not a link) owned by this user with no group or other permission
// bits, so no other user can plant or read windows in it. It takes several system calls, which a
// message should not pay each time: the folder is validated once per process and again after a
// send or a lookup has failed, or when the variables that choose it have changed.
struct CheckedDir {
    std::mutex mutex;
    std::string dir;  // WindowFolderPath(), with a trailing '/', when it was last validated
    bool valid = false;
};

CheckedDir& DirCache() {
    static CheckedDir cache;
    return cache;
}

// Validates the folder now and remembers the outcome; nothing when it is refused.
std::optional<std::string> ValidateWindowDir() {
    std::string dir = WindowFolderPath();
    const bool valid = MakePrivateFolder(dir) == FolderStatus::kPrivate;
    CheckedDir& cache = DirCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.valid = valid;
    if (!valid)
        return std::nullopt;
    cache.dir = dir;
    return dir;
}

std::optional<std::string> CheckedWindowDir() {
    CheckedDir& cache = DirCache();
    {
        std::lock_guard<std::mutex> lock(cache.mutex);
        if (cache.valid && cache.dir == WindowFolderPath())
            return cache.dir;
    }
    return ValidateWindowDir();
}

// After a failure the next use validates the folder again.
void ForgetWindowDir() {
    CheckedDir& cache = DirCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.valid = false;
}

bool SocketAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.data(), path.size());
    return true;
}

std::string SocketName(WindowHandle h) {
    return "w-" + HandleHex(h);
}
std::string TitleName(std::string_view title) {
    return "t-" + Hex(title);
}

// Strict parse of "w-<lower-case hex, no leading zeros>"; 0 when it is not one.
WindowHandle ParseSocketName(std::string_view name) {
    if (name.size() < 3 || name.size() > 18 || name.substr(0, 2) != "w-")
        return 0;
    name.remove_prefix(2);
    if (name[0] == '0')
        return 0;
    WindowHandle h = 0;
    for (char c : name) {
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else {
            return 0;
        }
        h = (h << 4) | static_cast<WindowHandle>(d);
    }
    return h;
}

// kGone: no socket of that name, or nobody listens on it: the window does not exist. kFailed: this
// attempt failed for another reason (no descriptor left, an interrupted call), which says
// nothing about the window.
enum class ConnectResult { kConnected, kBusy, kGone, kFailed };

// A non-blocking connect; a Unix stream connect completes at once or reports a full backlog.
ConnectResult ConnectTo(const std::string& dir, WindowHandle h, UniqueFd& out) {
    sockaddr_un addr;
    if (h == 0 || !SocketAddress(dir + SocketName(h), addr))
        return ConnectResult::kGone;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid())
        return ConnectResult::kFailed;
    if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        out = std::move(fd);
        return ConnectResult::kConnected;
    }
    if (errno == EAGAIN || errno == EINPROGRESS)
        return ConnectResult::kBusy;
    if (errno == ENOENT || errno == ECONNREFUSED || errno == ENOTDIR)
        return ConnectResult::kGone;
    return ConnectResult::kFailed;
}

// A sender's connection blocks by default, so that Exchange can wait for a reply in a plain read
// with a short receive timeout; every other call on it passes MSG_DONTWAIT.
bool PrepareForReplies(int fd) {
    const timeval wait{0, kPlainReplyWaitUs};
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 &&
           ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait) == 0;
}

// Only a window known to be gone counts as dead: a full backlog means a listener exists, and a
// failed attempt does not make a live window dead.
bool Alive(const std::string& dir, WindowHandle h) {
    UniqueFd probe;
    return ConnectTo(dir, h, probe) != ConnectResult::kGone;
}

// True when the sender has closed the connection. A sender that only shut down its writing side
// after the request still waits for the reply; a closed one makes both directions hang up.
bool SenderGone(int fd) {
    pollfd p{fd, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR)) != 0;
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutU64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(p[i]) << (8 * i);
    return v;
}
uint64_t GetU64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= uint64_t(p[i]) << (8 * i);
    return v;
}

// Reads one request from a non-blocking socket before the deadline into `buffer` (room for the
// largest request and one byte more). Header and payload usually arrive together and are taken
// with one read. A sender writes nothing after a request before its reply, so bytes beyond the
// request make it malformed, as do a wrong magic, an oversized payload and a cut request.
// `waited` tells whether the request did not arrive whole at once.
bool ReadRequest(int fd, std::vector<uint8_t>& buffer, int64_t deadlineMs, WindowMessage& msg,
                 bool& waited) {
    buffer.resize(kHeaderBytes + kMaxCopyDataBytes + 1);
    waited = false;
    size_t got = 0;
    size_t total = kHeaderBytes;  // known once the header is in
    while (got < total) {
        ssize_t n = ::recv(fd, buffer.data() + got, buffer.size() - got, 0);
        if (n > 0) {
            const bool hadHeader = got >= kHeaderBytes;
            got += static_cast<size_t>(n);
            if (!hadHeader && got >= kHeaderBytes) {
                if (std::memcmp(buffer.data(), kMagic, 4) != 0)
                    return false;
                const uint32_t size = GetU32(buffer.data() + 24);
                if (size > kMaxCopyDataBytes)
                    return false;
                total = kHeaderBytes + size;
            }
            if (got > total)
                return false;
            continue;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        int64_t left = deadlineMs - NowMs();
        if (left <= 0)
            return false;
        waited = true;
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
    const uint8_t* header = buffer.data();
    msg.message = GetU32(header + 4);
    msg.wParam = GetU64(header + 8);
    msg.dwData = GetU64(header + 16);
    msg.data.assign(header + kHeaderBytes, header + total);
    return true;
}

}  // namespace

struct MessageWindow::Impl {
    std::string dir;
    WindowHandle handle = 0;
    std::string titleName;  // "" when no title was published
    UniqueFd listen;
    // Readable when the listening socket or an open connection has something waiting. Connections
    // are registered one-shot: an event disarms its connection until it has been served, so a
    // nested wait (a handler that sends) never picks up the connection being served.
    UniqueFd poller;
    std::map<int, UniqueFd> connections;  // open connections between requests, by descriptor
    std::vector<uint8_t> buffer;          // the request being read
    Handler handler;
    bool closed = false;

    // Reads one request from a connection and answers it. Malformed requests are dropped without
    // a reply. True when the reply went out, so the connection may carry the next request.
    bool ServeRequest(const UniqueFd& conn, bool senderSeenAlive);
    // Serves one waiting connection or request; false when nothing was waiting.
    bool ServeOne();
    // Watches a connection for its next request, or closes it when the window has gone or keeps
    // too many.
    void Keep(UniqueFd conn, bool registered);
    void Destroy();
};

namespace {

// This process's live windows, served while a send waits. Everything runs on one thread; the
// registry is only read and changed there.
std::vector<MessageWindow::Impl*>& Registry() {
    static std::vector<MessageWindow::Impl*> windows;
    return windows;
}

std::atomic<uint32_t> g_counter{0};

WindowHandle NextHandle() {
    // pid in the high bits, a per-process counter (1..2^20-1) in the low 20.
    uint32_t c = 0;
    while (c == 0)
        c = (g_counter.fetch_add(1) + 1) & 0xFFFFF;
    return (static_cast<WindowHandle>(::getpid()) << 20) | c;
}

bool OfThisProcess(WindowHandle h) {
    return (h >> 20) == static_cast<WindowHandle>(::getpid());
}

bool Watch(int poller, int op, int fd, uint32_t events) {
    epoll_event ev{};
    ev.events = events;
    ev.data.fd = fd;
    return ::epoll_ctl(poller, op, fd, &ev) == 0;
}

}  // namespace

bool MessageWindow::Impl::ServeRequest(const UniqueFd& conn, bool senderSeenAlive) {
    WindowMessage msg;
    bool waited = false;
    if (!ReadRequest(conn.Get(), buffer, NowMs() + kRequestReadLimitMs, msg, waited))
        return false;
    // A sender that has closed the connection gave up on the request (its send timeout, or it
    // ended) while the request waited here: carrying it out now would act on a stale command.
    // A kept connection whose event showed no hang-up, with the request read at once, was checked
    // just now.
    if ((waited || !senderSeenAlive) && SenderGone(conn.Get()))
        return false;

    int64_t result = 0;
    if (handler) {
        // The handler may send messages itself (and so serve this window again, nested).
        Handler h = handler;
        int64_t r = h(msg);
        if (msg.message != kWmClose)
            result = r;
    }
    uint8_t reply[8];
    PutU64(reply, static_cast<uint64_t>(result));
    // The reply is tiny and the sender is waiting for it with nothing else unread, so the send
    // does not block; a sender that has gone away only costs an error here (never SIGPIPE).
    const bool replied = ::send(conn.Get(), reply, sizeof reply, MSG_NOSIGNAL) == sizeof reply;
    if (msg.message == kWmClose) {
        Destroy();
        closed = true;
    }
    return replied;
}

void MessageWindow::Impl::Keep(UniqueFd conn, bool registered) {
    if (closed || !poller.Valid() || connections.size() >= kMaxWindowConnections) {
        if (registered && poller.Valid())
            ::epoll_ctl(poller.Get(), EPOLL_CTL_DEL, conn.Get(), nullptr);
        return;
    }
    const int fd = conn.Get();
    if (Watch(poller.Get(), registered ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, fd, EPOLLIN | EPOLLONESHOT))
        connections.emplace(fd, std::move(conn));
}

bool MessageWindow::Impl::ServeOne() {
    if (!poller.Valid())
        return false;
    epoll_event ev{};
    if (::epoll_wait(poller.Get(), &ev, 1, 0) != 1)
        return false;
    if (ev.data.fd == listen.Get()) {
        // A new connection: its first request follows the connect at once.
        int c = ::accept4(listen.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (c < 0)
            return false;
        UniqueFd conn(c);
        if (ServeRequest(conn, false))
            Keep(std::move(conn), false);
        return true;
    }
    auto it = connections.find(ev.data.fd);
    if (it == connections.end())
        return true;
    UniqueFd conn = std::move(it->second);
    connections.erase(it);
    // A hang-up: the sender closed the connection, idle or with a request it gave up on.
    const bool replied = (ev.events & (EPOLLHUP | EPOLLERR)) == 0 && ServeRequest(conn, true);
    if (replied) {
        Keep(std::move(conn), true);
    } else if (poller.Valid()) {
        ::epoll_ctl(poller.Get(), EPOLL_CTL_DEL, conn.Get(), nullptr);
    }
    return true;
}

void MessageWindow::Impl::Destroy() {
    auto& reg = Registry();
    reg.erase(std::remove(reg.begin(), reg.end(), this), reg.end());
    if (!listen.Valid())
        return;
    listen.Reset();
    connections.clear();
    poller.Reset();
    std::string socketName = SocketName(handle);
    ::unlink((dir + socketName).c_str());
    if (!titleName.empty()) {
        char target[64];
        ssize_t n = ::readlink((dir + titleName).c_str(), target, sizeof target - 1);
        if (n > 0 && std::string_view(target, static_cast<size_t>(n)) == socketName) {
            ::unlink((dir + titleName).c_str());
        }
    }
}

std::unique_ptr<MessageWindow> MessageWindow::Create(std::string_view title, Handler handler) {
    if (title.size() > kMaxTitleBytes)
        return nullptr;
    auto dir = ValidateWindowDir();
    if (!dir)
        return nullptr;

    auto impl = std::make_unique<Impl>();
    impl->dir = *dir;
    impl->handle = NextHandle();
    impl->handler = std::move(handler);

    std::string socketPath = impl->dir + SocketName(impl->handle);
    sockaddr_un addr;
    if (!SocketAddress(socketPath, addr))
        return nullptr;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid())
        return nullptr;
    // A leftover socket with this name belongs to a dead process that had our pid.
    ::unlink(socketPath.c_str());
    if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return nullptr;
    if (::listen(fd.Get(), 64) != 0) {
        ::unlink(socketPath.c_str());
        return nullptr;
    }
    impl->listen = std::move(fd);
    impl->poller = UniqueFd(::epoll_create1(EPOLL_CLOEXEC));
    if (!impl->poller.Valid() ||
        !Watch(impl->poller.Get(), EPOLL_CTL_ADD, impl->listen.Get(), EPOLLIN)) {
        impl->listen.Reset();
        ::unlink(socketPath.c_str());
        return nullptr;
    }

    if (!title.empty()) {
        std::string titleName = TitleName(title);
        std::string temp = impl->dir + "n-" + HandleHex(impl->handle);
        ::unlink(temp.c_str());
        // rename() replaces an older link atomically: the newest window of a title wins.
        if (::symlink(SocketName(impl->handle).c_str(), temp.c_str()) != 0 ||
            ::rename(temp.c_str(), (impl->dir + titleName).c_str()) != 0) {
            ::unlink(temp.c_str());
            impl->listen.Reset();
            ::unlink(socketPath.c_str());
            return nullptr;
        }
        impl->titleName = titleName;
    }
    Registry().push_back(impl.get());
    return std::unique_ptr<MessageWindow>(new MessageWindow(std::move(impl)));
}

MessageWindow::MessageWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

MessageWindow::~MessageWindow() {
    impl_->Destroy();
}

WindowHandle MessageWindow::Handle() const {
    return impl_->handle;
}

int MessageWindow::Fd() const {
    return impl_->poller.Get();
}

void MessageWindow::ServePending() {
    while (!impl_->closed && impl_->ServeOne()) {
    }
}

bool MessageWindow::Closed() const {
    return impl_->closed;
}

WindowHandle FindWindowByTitle(std::string_view title) {
    if (title.empty() || title.size() > kMaxTitleBytes)
        return 0;
    auto dir = CheckedWindowDir();
    if (!dir)
        return 0;
    char target[64];
    ssize_t n = ::readlink((*dir + TitleName(title)).c_str(), target, sizeof target - 1);
    WindowHandle h = n > 0 ? ParseSocketName(std::string_view(target, static_cast<size_t>(n))) : 0;
    if (h == 0 || !Alive(*dir, h)) {
        ForgetWindowDir();
        return 0;
    }
    return h;
}

bool IsWindow(WindowHandle window) {
    if (window == 0)
        return false;
    auto dir = CheckedWindowDir();
    if (dir && Alive(*dir, window))
        return true;
    ForgetWindowDir();
    return false;
}

void SetSendTimeoutMsForTesting(int ms) {
    g_sendTimeoutMs = ms > 0 ? ms : kDefaultSendTimeoutMs;
}

namespace {

// Waits up to waitMs for `fd` to become ready for `events`, serving requests to this process's
// own windows meanwhile (one at a time, each to completion). True when fd is ready.
bool WaitServing(int fd, short events, int waitMs) {
    // Plain locals: a send may run from an exit handler, after thread-local objects are gone.
    std::vector<pollfd> fds;
    std::vector<MessageWindow::Impl*> owners;
    fds.push_back({fd, events, 0});
    for (MessageWindow::Impl* w : Registry()) {
        if (w->poller.Valid()) {
            fds.push_back({w->poller.Get(), POLLIN, 0});
            owners.push_back(w);
        }
    }
    int r = ::poll(fds.data(), fds.size(), std::max(waitMs, 0));
    if (r <= 0)
        return false;
    if (fd >= 0 && fds[0].revents != 0)
        return true;
    for (size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents == 0)
            continue;
        MessageWindow::Impl* w = owners[i - 1];
        // Serving may destroy windows (WM_CLOSE, nested handlers): recheck membership.
        auto& reg = Registry();
        if (std::find(reg.begin(), reg.end(), w) != reg.end())
            w->ServeOne();
        break;
    }
    return false;
}

// A sender's open connections between messages, by window folder and handle. A connection is
// taken out while a message is on it, so a nested send to the same window opens one of its own.
struct IdleConnection {
    WindowHandle window = 0;
    std::string dir;
    UniqueFd fd;
};
struct IdleConnections {
    std::mutex mutex;
    std::vector<IdleConnection> idle;  // oldest first
};

IdleConnections& Idle() {
    static IdleConnections* connections = [] {
        auto* c = new IdleConnections;
        // A child forked without exec must not talk on its parent's connections: replies would
        // cross. It closes its copies (the parent's stay open).
        ::pthread_atfork([] { Idle().mutex.lock(); }, [] { Idle().mutex.unlock(); },
                         [] {
                             Idle().idle.clear();
                             Idle().mutex.unlock();
                         });
        return c;
    }();
    return *connections;
}

UniqueFd TakeIdle(const std::string& dir, WindowHandle window) {
    IdleConnections& c = Idle();
    std::lock_guard<std::mutex> lock(c.mutex);
    for (auto it = c.idle.begin(); it != c.idle.end(); ++it) {
        if (it->window == window && it->dir == dir) {
            UniqueFd fd = std::move(it->fd);
            c.idle.erase(it);
            return fd;
        }
    }
    return {};
}

void KeepIdle(const std::string& dir, WindowHandle window, UniqueFd fd) {
    IdleConnections& c = Idle();
    std::lock_guard<std::mutex> lock(c.mutex);
    for (const IdleConnection& entry : c.idle) {
        if (entry.window == window && entry.dir == dir)
            return;  // a nested send kept one already; this one closes
    }
    if (c.idle.size() >= kMaxIdleConnections)
        c.idle.erase(c.idle.begin());
    c.idle.push_back({window, dir, std::move(fd)});
}

// Writes one request on a connection and reads its reply. `replyStarted` tells whether any byte
// of the reply arrived.
SendOutcome Exchange(const UniqueFd& conn, std::span<const uint8_t> request, int64_t deadline,
                     bool plainWaitFirst, int64_t& answer, bool& replyStarted) {
    replyStarted = false;
    size_t sent = 0;
    while (sent < request.size()) {
        ssize_t n = ::send(conn.Get(), request.data() + sent, request.size() - sent,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return SendOutcome::kDropped;
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return SendOutcome::kTimedOut;
        WaitServing(conn.Get(), POLLOUT, static_cast<int>(left));
    }

    uint8_t reply[8];
    size_t got = 0;
    bool plainRead = plainWaitFirst;
    while (got < sizeof reply) {
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return SendOutcome::kTimedOut;
        ssize_t n = 0;
        if (plainRead) {
            // Most replies come within a fraction of a millisecond, and a thread woken from a
            // plain read runs again sooner than one woken from poll. So the sender first waits
            // briefly in a read (the connection's receive timeout); a request to one of its own
            // windows meanwhile waits that long at most, until the waits below serve it.
            plainRead = false;
            n = ::recv(conn.Get(), reply + got, sizeof reply - got, MSG_WAITALL);
        } else {
            // The reply takes at least a round trip: wait first, then read.
            if (!WaitServing(conn.Get(), POLLIN, static_cast<int>(left)))
                continue;
            n = ::recv(conn.Get(), reply + got, sizeof reply - got, MSG_DONTWAIT);
        }
        if (n > 0) {
            got += static_cast<size_t>(n);
            replyStarted = true;
            continue;
        }
        if (n == 0)
            return SendOutcome::kDropped;  // closed without a reply
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return SendOutcome::kDropped;
    }
    answer = static_cast<int64_t>(GetU64(reply));
    return SendOutcome::kAnswered;
}

SendOutcome Send(const std::string& dir, WindowHandle target, uint32_t message, uint64_t wParam,
                 uint64_t dwData, const void* data, uint32_t size, int64_t& answer) {
    const int64_t deadline = NowMs() + g_sendTimeoutMs.load();

    // Commands fit on the stack; only large payloads take the heap.
    uint8_t small[kHeaderBytes + 512];
    std::vector<uint8_t> large;
    uint8_t* bytes = small;
    if (size > sizeof small - kHeaderBytes) {
        large.resize(kHeaderBytes + size);
        bytes = large.data();
    }
    std::memcpy(bytes, kMagic, 4);
    PutU32(bytes + 4, message);
    PutU64(bytes + 8, wParam);
    PutU64(bytes + 16, dwData);
    PutU32(bytes + 24, size);
    if (size > 0)
        std::memcpy(bytes + kHeaderBytes, data, size);
    const std::span<const uint8_t> request(bytes, kHeaderBytes + size);

    // A message to one of this process's own windows is answered only by the waits that serve
    // them, so it skips the plain read.
    const bool plainWaitFirst = !OfThisProcess(target);
    bool replyStarted = false;
    if (UniqueFd conn = TakeIdle(dir, target); conn.Valid()) {
        SendOutcome outcome =
            Exchange(conn, request, deadline, plainWaitFirst, answer, replyStarted);
        if (outcome == SendOutcome::kAnswered)
            KeepIdle(dir, target, std::move(conn));
        // A window closes a connection only between messages (it has too many, or it is gone),
        // never after taking a request without answering it: a kept connection that ends with no
        // reply did not carry the request, which then goes out once on a fresh connection.
        if (outcome != SendOutcome::kDropped || replyStarted)
            return outcome;
    }

    UniqueFd conn;
    for (;;) {
        ConnectResult c = ConnectTo(dir, target, conn);
        if (c == ConnectResult::kConnected) {
            if (!PrepareForReplies(conn.Get()))
                return SendOutcome::kFailed;
            break;
        }
        if (c == ConnectResult::kGone)
            return SendOutcome::kGone;
        if (c == ConnectResult::kFailed)
            return SendOutcome::kFailed;
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return SendOutcome::kTimedOut;
        WaitServing(-1, 0, static_cast<int>(std::min<int64_t>(left, kBusyRetryMs)));
    }
    SendOutcome outcome = Exchange(conn, request, deadline, plainWaitFirst, answer, replyStarted);
    if (outcome == SendOutcome::kAnswered)
        KeepIdle(dir, target, std::move(conn));
    return outcome;
}

}  // namespace

int64_t SendWindowMessage(WindowHandle target, uint32_t message, uint64_t wParam, uint64_t dwData,
                          const void* data, uint32_t size) {
    return SendWindowMessage(target, message, wParam, dwData, data, size, nullptr);
}

int64_t SendWindowMessage(WindowHandle target, uint32_t message, uint64_t wParam, uint64_t dwData,
                          const void* data, uint32_t size, SendOutcome* outcome) {
    SendOutcome result = SendOutcome::kFailed;
    int64_t answer = 0;
    if (target != 0 && size <= kMaxCopyDataBytes && (size == 0 || data != nullptr)) {
        if (auto dir = CheckedWindowDir())
            result = Send(*dir, target, message, wParam, dwData, data, size, answer);
    }
    if (result != SendOutcome::kAnswered)
        ForgetWindowDir();
    if (outcome != nullptr)
        *outcome = result;
    return result == SendOutcome::kAnswered ? answer : 0;
}

}  // namespace orx
