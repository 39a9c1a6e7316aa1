#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orx {

// Stand-in for top-level windows and synchronous window messages between processes
// (docs/companion-protocol.md). Frames only: the payloads are encoded by the devices layer.

using WindowHandle = uint64_t;  // 0 = no window

inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmCopyData = 0x004A;
inline constexpr uint32_t kMaxCopyDataBytes = 65536;

struct WindowMessage {
    uint32_t message = 0;
    uint64_t wParam = 0;
    uint64_t dwData = 0;
    std::vector<uint8_t> data;
};

class MessageWindow {
public:
    // Returns the reply for a message. Messages the handler does not know answer 0.
    using Handler = std::function<int64_t(const WindowMessage&)>;

    // Creates a window; an empty title publishes no title. Returns nullptr when the window
    // folder is refused or the socket cannot be created.
    static std::unique_ptr<MessageWindow> Create(std::string_view title, Handler handler);
    ~MessageWindow();

    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    WindowHandle Handle() const;
    // Readable when a request is waiting; an event loop watches it and then calls ServePending.
    int Fd() const;
    // Serves every request already waiting, each to completion, without blocking for new ones.
    void ServePending();
    // True after a WM_CLOSE was served (the window is gone; its owner should end).
    bool Closed() const;

    struct Impl;

private:
    explicit MessageWindow(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// 0 when no live window has that title.
WindowHandle FindWindowByTitle(std::string_view title);
// False only when the window is known to be gone (no socket, or nobody listens on it); an
// attempt that fails for another reason (no descriptor left, an interrupted call) does not make
// a live window dead.
bool IsWindow(WindowHandle window);

// How a send ended: answered; the window does not exist; the attempt failed on this side (bad
// arguments, no descriptor, the window folder refused); the receiver closed the connection
// without a reply; no reply within the send timeout.
enum class SendOutcome { kAnswered, kGone, kFailed, kDropped, kTimedOut };

// Sends one message and waits for its reply, serving requests that arrive at this process's own
// windows meanwhile. Returns 0 when the window cannot be reached, drops the request, or does
// not answer within the send timeout (10 s); outcome, when given, tells which.
int64_t SendWindowMessage(WindowHandle target, uint32_t message, uint64_t wParam, uint64_t dwData,
                          const void* data, uint32_t size);
int64_t SendWindowMessage(WindowHandle target, uint32_t message, uint64_t wParam, uint64_t dwData,
                          const void* data, uint32_t size, SendOutcome* outcome);

void SetSendTimeoutMsForTesting(int ms);

}  // namespace orx
