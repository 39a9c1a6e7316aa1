#pragma once

#include <QTimer>
#include <functional>

#include "playout/PlayoutEngine.h"

namespace orx {

// Timer 1 of the main window: one timer whose period the window (first tick) and the playback
// engine (run ticks) set; starting it again replaces the period. Beside it the engine's one-shot
// due timer, which calls the same handler once when armed.
class WindowTimer : public ITimer {
public:
    explicit WindowTimer(std::function<void()> onTick);

    void Start(uint32_t periodMs) override;
    // Stops both timers.
    void Stop() override;
    void ArmDue(uint32_t delayMs) override;
    void CancelDue() override;
    bool running() const { return timer_.isActive(); }
    int periodMs() const { return timer_.interval(); }
    bool dueArmed() const { return due_.isActive(); }
    int dueDelayMs() const { return due_.interval(); }

private:
    QTimer timer_;
    QTimer due_;
};

}  // namespace orx
