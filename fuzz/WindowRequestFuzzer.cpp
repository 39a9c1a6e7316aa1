// The window-message request parser: any local process of the user can connect to a window's
// socket and send bytes. The input is sent at once as one connection's bytes to a live window; a
// request is served exactly when the input is one whole frame (a sender writes nothing more
// before the reply), with every field as sent.

#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "platform/WindowTransport.h"

namespace {

constexpr size_t kHeaderBytes = 28;  // "ORXM", message, wParam, dwData, payload size

uint64_t GetLe(const uint8_t* p, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= uint64_t{p[i]} << (8 * i);
    }
    return value;
}

struct Environment {
    Environment() {
        folder = scratch / "windows";
        setenv("ORX_WINDOW_DIR", folder.c_str(), 1);
        Open();
    }
    void Open() {
        window = orx::MessageWindow::Create("fuzz", [this](const orx::WindowMessage& message) {
            served = message;
            return static_cast<int64_t>(message.wParam ^ message.dwData ^ message.data.size());
        });
        if (!window) {
            orx::fuzz::Fail("cannot create the window");
        }
        char digits[17];
        const auto end = std::to_chars(digits, digits + 16, window->Handle(), 16).ptr;
        socketPath = folder + "/w-" + std::string(digits, end);
    }

    orx::fuzz::ScratchFolder scratch;
    std::string folder;
    std::string socketPath;
    std::unique_ptr<orx::MessageWindow> window;
    std::optional<orx::WindowMessage> served;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Environment env;
    // Larger inputs would fill the socket buffer before the window reads.
    if (size > kHeaderBytes + orx::kMaxCopyDataBytes + 64) {
        return 0;
    }
    const bool magic = size >= 4 && std::memcmp(data, "ORXM", 4) == 0;
    const uint64_t payloadBytes = size >= kHeaderBytes ? GetLe(data + 24, 4) : 0;
    const bool whole = size >= kHeaderBytes && size - kHeaderBytes == payloadBytes;
    const bool wellFormed = magic && whole && payloadBytes <= orx::kMaxCopyDataBytes;

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    env.socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        (size > 0 && ::send(fd, data, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size))) {
        orx::fuzz::Fail("cannot reach the window");
    }
    ::shutdown(fd, SHUT_WR);  // the connection's bytes end here
    env.served.reset();
    env.window->ServePending();
    uint8_t reply[8];
    const ssize_t replyBytes = ::recv(fd, reply, sizeof reply, MSG_WAITALL);
    ::close(fd);

    if (env.served.has_value() != wellFormed) {
        orx::fuzz::Fail(wellFormed ? "a well-formed request was dropped"
                                   : "a malformed request was served");
    }
    if (!wellFormed) {
        if (replyBytes > 0) {
            orx::fuzz::Fail("a malformed request was answered");
        }
        return 0;
    }
    const orx::WindowMessage& message = *env.served;
    if (message.message != GetLe(data + 4, 4) || message.wParam != GetLe(data + 8, 8) ||
        message.dwData != GetLe(data + 16, 8) || message.data.size() != payloadBytes ||
        (payloadBytes > 0 &&
         std::memcmp(message.data.data(), data + kHeaderBytes, payloadBytes) != 0)) {
        orx::fuzz::Fail("a field of the request changed on the way");
    }
    const uint64_t expected =
        message.message == orx::kWmClose ? 0 : (message.wParam ^ message.dwData ^ payloadBytes);
    if (replyBytes != sizeof reply || GetLe(reply, 8) != expected) {
        orx::fuzz::Fail("the reply is not the handler's result");
    }
    if (env.window->Closed()) {
        env.Open();  // WM_CLOSE destroyed the window
    }
    return 0;
}
