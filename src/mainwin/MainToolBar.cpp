#include "mainwin/MainToolBar.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>
#include <cstdio>

#include "lang/TextServices.h"
#include "lang/qt/QtText.h"
#include "mainwin/InputLabels.h"
#include "platform/Paths.h"

namespace orx {

namespace {

constexpr const char* kCommandIdProperty = "orxCommandId";
constexpr const char* kToolTipIdProperty = "orxToolTipId";
constexpr int kOnPreviewStringId = 13040;
constexpr int kPreviousStringId = 13039;

QString FromText(const std::string& text) {
    return ToQString(text);
}

// The width a label needs for its longest time text: three-digit minutes on both sides, every
// digit the font's widest, with the frame, margins and indent the label adds around its text.
int TimeDisplayWidth(const QLabel& label) {
    const QFontMetrics metrics(label.font());
    QChar widest = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest)) {
            widest = QChar(digit);
        }
    }
    QString text = MainToolBar::FormatTimes(59999900, 59999900);  // "999:59.9 / 999:59.9  "
    for (QChar& c : text) {
        if (c.isDigit()) {
            c = widest;
        }
    }
    QLabel probe(text);
    probe.setFont(label.font());
    probe.setFrameStyle(label.frameStyle());
    probe.setAlignment(label.alignment());
    probe.setMargin(label.margin());
    probe.setIndent(label.indent());
    probe.setContentsMargins(label.contentsMargins());
    return probe.sizeHint().width();
}

}  // namespace

ToolbarState ComputeToolbarState(bool ready, bool hardwareOk, bool readyToPlay, bool playing) {
    ToolbarState s;
    s.play = ready && hardwareOk && readyToPlay && !playing;
    s.pause = ready && hardwareOk && playing;
    s.stop = ready && hardwareOk && playing;
    s.edit = ready;
    s.settings = ready && !playing;
    s.close = ready && !playing;
    return s;
}

MainToolBar::MainToolBar(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 15));
    setFixedHeight(kHeightPx);
    setToolButtonStyle(Qt::ToolButtonIconOnly);

    QStyle* st = style();
    AddButton(kPlayId, st->standardIcon(QStyle::SP_MediaPlay));
    AddButton(kPauseId, st->standardIcon(QStyle::SP_MediaPause));
    AddButton(kStopId, st->standardIcon(QStyle::SP_MediaStop));
    addSeparator();

    timeDisplay_ = new QLabel(this);
    timeDisplay_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    timeDisplay_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont timeFont = timeDisplay_->font();
    timeFont.setPointSizeF(14.4);
    timeDisplay_->setFont(timeFont);
    // At least the template's 160 pixels, and never narrower than its text: a right-aligned
    // label that is cut loses the clip's minutes first.
    timeDisplay_->setFixedWidth(std::max(160, TimeDisplayWidth(*timeDisplay_)));
    AddEmbedded(timeDisplay_, kTimeDisplayId, kTimeToolTipId);
    addSeparator();

    AddButton(kEditId, st->standardIcon(QStyle::SP_FileDialogDetailedView));
    addSeparator();

    fileDisplay_ = new QLabel(this);
    fileDisplay_->setFixedWidth(96);
    fileDisplay_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    fileDisplay_->setAlignment(Qt::AlignCenter);
    QFont fileFont = fileDisplay_->font();
    fileFont.setPointSize(8);
    fileDisplay_->setFont(fileFont);
    AddEmbedded(fileDisplay_, kFileDisplayId, kFileToolTipId);
    addSeparator();

    restoreCombo_ = new QComboBox(this);
    restoreCombo_->setFixedWidth(100);
    restoreCombo_->setMaxVisibleItems(10);  // about 150 pixels of list
    // The choice decides what goes to air after the last clip: it changes only when the operator
    // means it. It takes the focus by a click only, and a wheel turned over it without the focus
    // (see eventFilter) changes nothing.
    restoreCombo_->setFocusPolicy(Qt::ClickFocus);
    AddEmbedded(restoreCombo_, kRestoreComboId, kRestoreToolTipId);
    addSeparator();

    AddButton(kSettingsId, st->standardIcon(QStyle::SP_FileDialogContentsView));
    addSeparator();
    AddButton(kCloseId, st->standardIcon(QStyle::SP_DialogCloseButton));

    // Buttons that do not fit are listed in the extension menu under their texts (the embedded
    // controls are not: the window keeps the whole bar in view); like the tool tips, the texts
    // follow the interface language when they are shown.
    if (auto* more = findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        if (QMenu* menu = more->menu()) {
            connect(menu, &QMenu::aboutToShow, this, &MainToolBar::RetranslateActions);
        }
    }
}

QAction* MainToolBar::AddButton(int commandId, const QIcon& icon) {
    // The text names the button where the bar has no room for it, in the extension menu.
    QAction* a = addAction(icon, ToolTipFor(commandId));
    a->setProperty(kCommandIdProperty, commandId);
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, [this, commandId] { emit commandTriggered(commandId); });
    if (QWidget* button = widgetForAction(a)) {
        button->setProperty(kCommandIdProperty, commandId);
        button->installEventFilter(this);
    }
    return a;
}

void MainToolBar::AddEmbedded(QWidget* widget, int controlId, int toolTipId) {
    widget->setProperty(kCommandIdProperty, controlId);
    widget->setProperty(kToolTipIdProperty, toolTipId);
    widget->installEventFilter(this);
    addWidget(widget);
}

void MainToolBar::RetranslateActions() {
    for (QAction* a : actions()) {
        if (const int id = a->property(kCommandIdProperty).toInt(); id != 0) {
            a->setText(ToolTipFor(id));
        }
    }
}

QAction* MainToolBar::action(int commandId) const {
    for (QAction* a : actions()) {
        if (a->property(kCommandIdProperty).toInt() == commandId) {
            return a;
        }
    }
    return nullptr;
}

QString MainToolBar::FormatTimes(int32_t clipMs, int32_t totalMs) {
    char text[96];
    std::snprintf(text, sizeof text, "%d:%02d.%d / %d:%02d.%d  ", clipMs / 60000,
                  (clipMs / 1000) % 60, (clipMs / 100) % 10, totalMs / 60000, (totalMs / 1000) % 60,
                  (totalMs / 100) % 10);
    return QString::fromLatin1(text);
}

void MainToolBar::ShowTimes(int32_t clipMs, int32_t totalMs) {
    timeDisplay_->setText(FormatTimes(clipMs, totalMs));
}

void MainToolBar::ShowFileName(const std::string& path) {
    fileDisplay_->setText(ToQString(FileTitleOf(path)));
}

void MainToolBar::FillRestoreInputCombo(const InputLabels& labels) {
    const int selected = restoreCombo_->currentIndex();
    restoreCombo_->clear();
    restoreCombo_->addItem(FromText(TranslateString(kOnPreviewStringId)));
    restoreCombo_->addItem(FromText(TranslateString(kPreviousStringId)));
    for (int i = 0; i < kSourceCount; ++i) {
        restoreCombo_->addItem(FromText(labels.DisplayName(i)));
    }
    if (selected >= 0) {
        restoreCombo_->setCurrentIndex(selected);
    }
}

void MainToolBar::SetRestoreComboIndex(int index) {
    restoreCombo_->setCurrentIndex(index);
}

int MainToolBar::RestoreComboIndex() const {
    return restoreCombo_->currentIndex();
}

void MainToolBar::ApplyState(const ToolbarState& state) {
    action(kPlayId)->setEnabled(state.play);
    action(kPauseId)->setEnabled(state.pause);
    action(kStopId)->setEnabled(state.stop);
    action(kEditId)->setEnabled(state.edit);
    action(kSettingsId)->setEnabled(state.settings);
    action(kCloseId)->setEnabled(state.close);
}

ToolbarState MainToolBar::State() const {
    ToolbarState s;
    s.play = action(kPlayId)->isEnabled();
    s.pause = action(kPauseId)->isEnabled();
    s.stop = action(kStopId)->isEnabled();
    s.edit = action(kEditId)->isEnabled();
    s.settings = action(kSettingsId)->isEnabled();
    s.close = action(kCloseId)->isEnabled();
    return s;
}

QString MainToolBar::ToolTipFor(int commandId) {
    if (commandId == 0) {
        return {};
    }
    return FromText(TooltipText(commandId)).left(kToolTipMaxChars);
}

bool MainToolBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched == restoreCombo_ && !restoreCombo_->hasFocus()) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        const QVariant toolTipId = watched->property(kToolTipIdProperty);
        const int id =
            toolTipId.isValid() ? toolTipId.toInt() : watched->property(kCommandIdProperty).toInt();
        const QString text = ToolTipFor(id);
        auto* help = static_cast<QHelpEvent*>(event);
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, qobject_cast<QWidget*>(watched));
        }
        return true;
    }
    return QToolBar::eventFilter(watched, event);
}

}  // namespace orx
