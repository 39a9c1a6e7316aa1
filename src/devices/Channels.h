#pragma once

#include <cstdint>

#include "platform/WindowTransport.h"

namespace orx {

// Decoder command codes (dwData of a command to a decoder host).
inline constexpr int VIDCMD_PLAY = 1;
inline constexpr int VIDCMD_PLAY2 = 2;
inline constexpr int VIDCMD_STOP = 3;
inline constexpr int VIDCMD_PAUSE = 4;
inline constexpr int VIDCMD_CUE = 5;
inline constexpr int VIDCMD_VOLUME = 7;
inline constexpr int VIDCMD_ISINIT = 100;
inline constexpr int VIDCMD_ISPLAYING = 101;

// Host notifications (dwData of a report to the main window).
inline constexpr int kNotifyStarted = 0;
inline constexpr int kNotifyStopped = 1;

// What the playback engine needs of the decoder channel (CVideoCmd implements it).
class IVideoChannel {
public:
    virtual ~IVideoChannel() = default;
    // The host's result, or 0 when the board cannot be reached.
    virtual int SendCmd(int board, int code, const char* text = nullptr) = 0;
    virtual void StopAll() = 0;
};

// What the playback engine needs of the remote-control channel (CRemoteCmd implements it).
class IRemoteChannel {
public:
    virtual ~IRemoteChannel() = default;
    // 0 on failure; for mode 3 the answer minus 1; otherwise the answer.
    virtual int SendCmd(int mode, const char* word, WindowHandle wParam = 0) = 0;
    virtual int Seize(int logoOff) = 0;
    virtual void Restore(int cut, int in) = 0;
    virtual void ResetError() = 0;
};

}  // namespace orx
