#include "platform/WindowTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/Paths.h"

// Windows are Unix stream sockets in one private folder; a title is a symbolic link to the
// socket's name. One connection carries one message: a 28-byte header plus payload, answered by
// an 8-byte result. docs/companion-protocol.md is the reference for the wire contract.

namespace orx {

namespace {

constexpr char kMagic[4] = {'O', 'R', 'X', 'M'};
constexpr size_t kHeaderBytes = 28;
constexpr size_t kMaxTitleBytes = 126;
constexpr int kRequestReadLimitMs = 1000;
constexpr int kDefaultSendTimeoutMs = 10000;
// While a peer's backlog is full the sender retries its connect at this interval.
constexpr int kBusyRetryMs = 5;

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

// The window folder with a trailing '/', or nothing when it is refused. The folder is created
// when missing; it is refused unless it is a real directory (not a link) owned by this user with
// no group or other permission bits, so no other user can plant or read windows in it.
std::optional<std::string> WindowDir() {
    std::string dir = WindowFolderPath();
    if (MakePrivateFolder(dir) != FolderStatus::kPrivate)
        return std::nullopt;
    return dir;
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

enum class ConnectResult { kConnected, kBusy, kRefused };

// A non-blocking connect; a Unix stream connect completes at once or reports a full backlog.
ConnectResult ConnectTo(const std::string& dir, WindowHandle h, UniqueFd& out) {
    sockaddr_un addr;
    if (h == 0 || !SocketAddress(dir + SocketName(h), addr))
        return ConnectResult::kRefused;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid())
        return ConnectResult::kRefused;
    if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        out = std::move(fd);
        return ConnectResult::kConnected;
    }
    if (errno == EAGAIN || errno == EINPROGRESS)
        return ConnectResult::kBusy;
    return ConnectResult::kRefused;
}

bool Alive(const std::string& dir, WindowHandle h) {
    UniqueFd probe;
    // A full backlog means a listener exists.
    return ConnectTo(dir, h, probe) != ConnectResult::kRefused;
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

// Reads exactly size bytes from a non-blocking socket before the deadline.
bool ReadFull(int fd, uint8_t* out, size_t size, int64_t deadlineMs) {
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::recv(fd, out + got, size - got, 0);
        if (n > 0) {
            got += static_cast<size_t>(n);
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
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
    return true;
}

}  // namespace

struct MessageWindow::Impl {
    std::string dir;
    WindowHandle handle = 0;
    std::string titleName;  // "" when no title was published
    UniqueFd listen;
    Handler handler;
    bool closed = false;

    // Reads one request from a fresh connection and answers it. Malformed requests are dropped
    // without a reply.
    void ServeConnection(UniqueFd conn);
    // Accepts and serves one waiting connection; false when none was waiting.
    bool ServeOne();
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

}  // namespace

void MessageWindow::Impl::ServeConnection(UniqueFd conn) {
    int64_t deadline = NowMs() + kRequestReadLimitMs;
    uint8_t header[kHeaderBytes];
    if (!ReadFull(conn.Get(), header, kHeaderBytes, deadline))
        return;
    if (std::memcmp(header, kMagic, 4) != 0)
        return;
    WindowMessage msg;
    msg.message = GetU32(header + 4);
    msg.wParam = GetU64(header + 8);
    msg.dwData = GetU64(header + 16);
    uint32_t size = GetU32(header + 24);
    if (size > kMaxCopyDataBytes)
        return;
    msg.data.resize(size);
    if (size > 0 && !ReadFull(conn.Get(), msg.data.data(), size, deadline))
        return;

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
    // The reply is tiny and the socket freshly accepted, so the send does not block; a sender
    // that has gone away only costs an error here (never SIGPIPE).
    (void)::send(conn.Get(), reply, sizeof reply, MSG_NOSIGNAL);
    conn.Reset();
    if (msg.message == kWmClose) {
        Destroy();
        closed = true;
    }
}

bool MessageWindow::Impl::ServeOne() {
    if (!listen.Valid())
        return false;
    int c = ::accept4(listen.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (c < 0)
        return false;
    ServeConnection(UniqueFd(c));
    return true;
}

void MessageWindow::Impl::Destroy() {
    auto& reg = Registry();
    reg.erase(std::remove(reg.begin(), reg.end(), this), reg.end());
    if (!listen.Valid())
        return;
    listen.Reset();
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
    auto dir = WindowDir();
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
    return impl_->listen.Get();
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
    auto dir = WindowDir();
    if (!dir)
        return 0;
    char target[64];
    ssize_t n = ::readlink((*dir + TitleName(title)).c_str(), target, sizeof target - 1);
    if (n <= 0)
        return 0;
    WindowHandle h = ParseSocketName(std::string_view(target, static_cast<size_t>(n)));
    if (h == 0 || !Alive(*dir, h))
        return 0;
    return h;
}

bool IsWindow(WindowHandle window) {
    if (window == 0)
        return false;
    auto dir = WindowDir();
    return dir && Alive(*dir, window);
}

void SetSendTimeoutMsForTesting(int ms) {
    g_sendTimeoutMs = ms > 0 ? ms : kDefaultSendTimeoutMs;
}

namespace {

// Waits up to waitMs for `fd` to become ready for `events`, serving requests to this process's
// own windows meanwhile (one at a time, each to completion). True when fd is ready.
bool WaitServing(int fd, short events, int waitMs) {
    std::vector<pollfd> fds;
    std::vector<MessageWindow::Impl*> owners;
    fds.push_back({fd, events, 0});
    for (MessageWindow::Impl* w : Registry()) {
        if (w->listen.Valid()) {
            fds.push_back({w->listen.Get(), POLLIN, 0});
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

}  // namespace

int64_t SendWindowMessage(WindowHandle target, uint32_t message, uint64_t wParam, uint64_t dwData,
                          const void* data, uint32_t size) {
    if (target == 0 || size > kMaxCopyDataBytes || (size > 0 && data == nullptr))
        return 0;
    auto dir = WindowDir();
    if (!dir)
        return 0;
    const int64_t deadline = NowMs() + g_sendTimeoutMs.load();

    UniqueFd conn;
    for (;;) {
        ConnectResult c = ConnectTo(*dir, target, conn);
        if (c == ConnectResult::kConnected)
            break;
        if (c == ConnectResult::kRefused)
            return 0;
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return 0;
        WaitServing(-1, 0, static_cast<int>(std::min<int64_t>(left, kBusyRetryMs)));
    }

    std::vector<uint8_t> request(kHeaderBytes + size);
    std::memcpy(request.data(), kMagic, 4);
    PutU32(request.data() + 4, message);
    PutU64(request.data() + 8, wParam);
    PutU64(request.data() + 16, dwData);
    PutU32(request.data() + 24, size);
    if (size > 0)
        std::memcpy(request.data() + kHeaderBytes, data, size);

    size_t sent = 0;
    while (sent < request.size()) {
        ssize_t n = ::send(conn.Get(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return 0;
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return 0;
        WaitServing(conn.Get(), POLLOUT, static_cast<int>(left));
    }

    uint8_t reply[8];
    size_t got = 0;
    while (got < sizeof reply) {
        ssize_t n = ::recv(conn.Get(), reply + got, sizeof reply - got, 0);
        if (n > 0) {
            got += static_cast<size_t>(n);
            continue;
        }
        if (n == 0)
            return 0;  // dropped without a reply
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return 0;
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return 0;
        WaitServing(conn.Get(), POLLIN, static_cast<int>(left));
    }
    return static_cast<int64_t>(GetU64(reply));
}

}  // namespace orx
