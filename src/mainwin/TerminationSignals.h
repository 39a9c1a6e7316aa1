#pragma once

#include <QObject>

class QSocketNotifier;

namespace orx {

// Catches SIGINT, SIGTERM and SIGHUP for as long as it exists and reports each as
// terminationRequested from whichever event loop runs (the main window's own or that of a message
// box open on it), so the program can end in order. Made before the main window and destroyed
// after it, so that a second Ctrl+C cannot cut the window's closing short. One per process; the
// signals get their default handling back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    TerminationSignals();
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the signals could not be caught; they then end the program at once.
    bool watching() const { return notifier_ != nullptr; }

signals:
    void terminationRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace orx
