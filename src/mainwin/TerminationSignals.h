#pragma once

#include <QObject>

class QSocketNotifier;

namespace orx {

class CMainWin;

// Turns SIGINT, SIGTERM and SIGHUP into a call of the window's RequestShutdown from whichever
// event loop runs (the window's own or that of a message box open on it), so the program ends in
// order: run stopped, boards closed, air log and layout written. One per process; the signals get
// their default handling back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(CMainWin& window);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the signals could not be caught; they then end the program at once.
    bool watching() const { return notifier_ != nullptr; }

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace orx
