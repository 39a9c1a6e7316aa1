#include "mainwin/WindowTimer.h"

#include <algorithm>
#include <limits>

namespace orx {

WindowTimer::WindowTimer(std::function<void()> onTick) {
    timer_.setTimerType(Qt::PreciseTimer);
    due_.setTimerType(Qt::PreciseTimer);
    due_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, onTick);
    QObject::connect(&due_, &QTimer::timeout, std::move(onTick));
}

void WindowTimer::Start(uint32_t periodMs) {
    timer_.start(static_cast<int>(periodMs));
}

void WindowTimer::Stop() {
    timer_.stop();
    due_.stop();
}

void WindowTimer::ArmDue(uint32_t delayMs) {
    due_.start(static_cast<int>(std::min<uint32_t>(delayMs, std::numeric_limits<int>::max())));
}

void WindowTimer::CancelDue() {
    due_.stop();
}

}  // namespace orx
