#include "MixerPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "devices/MixerVocabulary.h"

namespace orx {

namespace {

QLabel* Bus(const char* colour) {
    auto* label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(110);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(
        QString("background:%1; color:white; border-radius:4px; padding:4px").arg(colour));
    return label;
}

}  // namespace

MixerPanel::MixerPanel(const MixerModel& mixer, QWidget* parent)
    : QWidget(parent),
      mixer_(mixer),
      program_(Bus("#b00000")),
      preview_(Bus("#007000")),
      transition_(new QLabel),
      running_(new QLabel),
      progress_(new QProgressBar),
      timer_(new QTimer(this)) {
    setWindowTitle("ORX Remote Control - mixer");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Program"), 0, 0);
    grid->addWidget(program_, 0, 1);
    grid->addWidget(new QLabel("Preview"), 1, 0);
    grid->addWidget(preview_, 1, 1);
    grid->addWidget(new QLabel("Transition"), 2, 0);
    grid->addWidget(transition_, 2, 1);
    grid->addWidget(running_, 3, 0);
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(10);
    grid->addWidget(progress_, 3, 1);
    auto* lamps = new QHBoxLayout;
    for (const char* name : kLamps) {
        auto* lamp = new QLabel(name);
        lamp->setAlignment(Qt::AlignCenter);
        lamps->addWidget(lamp);
        lamps_[name] = lamp;
    }
    grid->addLayout(lamps, 4, 0, 1, 2);
    timer_->setInterval(40);
    connect(timer_, &QTimer::timeout, this, [this] { Refresh(); });
    Refresh();
}

void MixerPanel::Refresh() {
    program_->setText(kSourceNames[mixer_.Program()]);
    preview_->setText(kSourceNames[mixer_.Preview()]);
    QString how = mixer_.IsOn("FAST")
                      ? (mixer_.IsOn("CUT") ? "source keys cut" : "source keys take with AUTO")
                      : "AUTO / CUT take the preview";
    transition_->setText(QString("%1, %2").arg(kTransitionKeys[mixer_.TransitionKey()], how));
    if (const auto t = mixer_.Running()) {
        running_->setText(
            QString("%1 %2 > %3")
                .arg(kTransitionKeys[t->key], kSourceNames[t->from], kSourceNames[t->to]));
        progress_->setValue(static_cast<int>(mixer_.Progress() * 100));
        timer_->start();
    } else {
        running_->setText("no transition");
        progress_->setValue(0);
        timer_->stop();
    }
    for (auto& [name, lamp] : lamps_) {
        const bool on = mixer_.IsOn(name);
        lamp->setProperty("on", on);
        lamp->setStyleSheet(on ? "background:#e0a000; color:black; padding:3px"
                               : "background:#404040; color:#a0a0a0; padding:3px");
    }
}

std::string MixerPanel::Shown(const std::string& part) const {
    if (auto it = lamps_.find(part); it != lamps_.end())
        return it->second->property("on").toBool() ? "on" : "off";
    const QLabel* label = part == "program"      ? program_
                          : part == "preview"    ? preview_
                          : part == "transition" ? transition_
                          : part == "running"    ? running_
                                                 : nullptr;
    return label ? label->text().toStdString() : std::string();
}

}  // namespace orx
