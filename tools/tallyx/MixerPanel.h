#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "MixerModel.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace orx {

// A small window showing the mixer's state: the sources on the program and preview buses (by
// their words of the mixer vocabulary), the selected transition and how the source keys take a
// source to air, a running transition and how far it is, the freeze, and the four graphics
// keyers. It only reads the model; the owner calls Refresh after every command.
class MixerPanel : public QWidget {
public:
    explicit MixerPanel(const MixerModel& mixer, QWidget* parent = nullptr);

    void Refresh();

    // The texts the panel shows, by part: "program", "preview", "transition", "running", and
    // "FAST", "FREEZE", "LOGO1", "LOGO2", "CLOCK", "THERMO" ("on" or "off").
    std::string Shown(const std::string& part) const;

    static constexpr const char* kLamps[] = {"FAST", "FREEZE", "LOGO1", "LOGO2", "CLOCK", "THERMO"};

private:
    const MixerModel& mixer_;
    QLabel* program_;
    QLabel* preview_;
    QLabel* transition_;
    QLabel* running_;
    QProgressBar* progress_;
    std::map<std::string, QLabel*> lamps_;
    QTimer* timer_;  // redraws while a transition runs
};

}  // namespace orx
