#include "mainwin/WindowTimer.h"

namespace orx {

WindowTimer::WindowTimer(std::function<void()> onTick) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
}

void WindowTimer::Start(uint32_t periodMs) {
    timer_.start(static_cast<int>(periodMs));
}

void WindowTimer::Stop() {
    timer_.stop();
}

}  // namespace orx
