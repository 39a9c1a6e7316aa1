#pragma once

#include <QTimer>
#include <functional>

#include "playout/PlayoutEngine.h"

namespace orx {

// Timer 1 of the main window: one timer whose period the window (first tick) and the playback
// engine (run ticks) set; starting it again replaces the period.
class WindowTimer : public ITimer {
public:
    explicit WindowTimer(std::function<void()> onTick);

    void Start(uint32_t periodMs) override;
    void Stop() override;
    bool running() const { return timer_.isActive(); }
    int periodMs() const { return timer_.interval(); }

private:
    QTimer timer_;
};

}  // namespace orx
