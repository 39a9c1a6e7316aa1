#include "editor/PlaylistEditorDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <string_view>

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "editor/ClipUsage.h"
#include "editor/ConfirmDeleteDialog.h"
#include "editor/DescriptionDialog.h"
#include "editor/DialogText.h"
#include "editor/EditorListModels.h"
#include "editor/TransitionDialog.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"
#include "lang/qt/DialogTranslation.h"
#include "lang/qt/QtText.h"
#include "library/ClipDuration.h"
#include "ui/FilePickers.h"

namespace orx {

namespace {

constexpr int kId = kDialogEditPlaylist;
constexpr std::string_view kSection = "VideoList";

// Control ids of the editor's buttons and fixed texts.
constexpr int kRefresh = 1511;
constexpr int kEdit = 1260;
constexpr int kRemove = 1259;
constexpr int kMoveUp = 1513;
constexpr int kMoveDown = 1514;
constexpr int kAdd = 1233;
constexpr int kDelete = 1234;
constexpr int kEditDescription = 1512;
constexpr int kDefaultTransition = 1290;
constexpr int kClear = 1289;
constexpr int kLoad = 1273;
constexpr int kSave = 1279;
constexpr int kClose = 2;
constexpr int kLogo = 1522;

constexpr int kStringSaveChanges = 22087;
constexpr int kStringDeleteFile = 22088;
constexpr int kPlaylistTitleIds[] = {22161, 22162, 22163, 22164, 22165};
constexpr int kLibraryTitleIds[] = {22166, 22167, 22168};
constexpr int kPlaylistFileKind = 3;
constexpr int kMaxColumnWidth = 4000;

QTreeView* ReportList(QWidget* parent, QAbstractItemView::SelectionMode mode) {
    auto* view = new QTreeView(parent);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(mode);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    return view;
}

int CurrentSelectedRow(const QTreeView* view) {
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || !view->selectionModel()->isRowSelected(current.row(), {})) {
        return -1;
    }
    return current.row();
}

// Makes row the selected, current row and scrolls to it. Without one (-1 or out of range) the
// first row takes the keyboard's place unselected, so the arrow, Home and End keys start there.
void SelectRow(QTreeView* view, int row) {
    if (row < 0 || row >= view->model()->rowCount()) {
        view->selectionModel()->setCurrentIndex(view->model()->index(0, 0),
                                                QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
}

std::string FileTitle(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsEnterKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

PlaylistEditorDialog::PlaylistEditorDialog(Playlist& playlist, std::string playlistPath,
                                           bool openedWhilePlaying, QWidget* parent)
    : QDialog(parent),
      playlist_(playlist),
      playlistPath_(std::move(playlistPath)),
      openedWhilePlaying_(openedWhilePlaying) {
    using editor::SetTemplateControl;
    SetTemplateControl(this, kId, 0);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    const auto makeButton = [this](int controlId, void (PlaylistEditorDialog::*command)()) {
        auto* pushButton = new QPushButton(this);
        SetTemplateControl(pushButton, kId, controlId);
        // Enter never presses a button of this dialog.
        pushButton->setAutoDefault(false);
        connect(pushButton, &QPushButton::clicked, this, [this, command] { (this->*command)(); });
        return pushButton;
    };

    auto* playlistLabel = new QLabel(this);
    SetTemplateControl(playlistLabel, kId, 1314);
    nameField_ = new QLineEdit(this);
    nameField_->setReadOnly(true);
    nameField_->setFocusPolicy(Qt::NoFocus);
    auto* playTimeLabel = new QLabel(this);
    SetTemplateControl(playTimeLabel, kId, 1316);
    playTimeField_ = new QLineEdit(this);
    playTimeField_->setReadOnly(true);
    playTimeField_->setFocusPolicy(Qt::NoFocus);
    playTimeField_->setAlignment(Qt::AlignRight);
    auto* availableLabel = new QLabel(this);
    SetTemplateControl(availableLabel, kId, 1315);
    QPushButton* refresh = makeButton(kRefresh, &PlaylistEditorDialog::OnRefresh);

    logoCheck_ = new QCheckBox(this);
    SetTemplateControl(logoCheck_, kId, kLogo);
    connect(logoCheck_, &QCheckBox::clicked, this, &PlaylistEditorDialog::OnLogoClicked);

    playlistView_ = ReportList(this, QAbstractItemView::ExtendedSelection);
    playlistModel_ = new PlaylistTableModel(playlist_.entries, this);
    playlistView_->setModel(playlistModel_);
    playlistView_->header()->setSectionsClickable(false);
    libraryView_ = ReportList(this, QAbstractItemView::SingleSelection);
    libraryModel_ = new LibraryTableModel(library_.clips, this);
    libraryView_->setModel(libraryModel_);
    libraryView_->header()->setSectionsClickable(true);
    connect(libraryView_->header(), &QHeaderView::sectionClicked, this,
            &PlaylistEditorDialog::OnLibraryHeaderClicked);
    connect(playlistView_, &QTreeView::doubleClicked, this, [this] { OnEdit(); });
    connect(libraryView_, &QTreeView::doubleClicked, this, [this] { OnAddToPlaylist(); });
    playlistView_->installEventFilter(this);
    libraryView_->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(playlistLabel);
    top->addWidget(nameField_, 2);
    top->addWidget(playTimeLabel);
    top->addWidget(playTimeField_, 1);
    top->addSpacing(12);
    top->addWidget(availableLabel);
    top->addStretch(1);
    top->addWidget(refresh);

    auto* playlistButtons = new QHBoxLayout;
    playlistButtons->addWidget(makeButton(kEdit, &PlaylistEditorDialog::OnEdit));
    playlistButtons->addWidget(makeButton(kRemove, &PlaylistEditorDialog::OnRemove));
    playlistButtons->addWidget(makeButton(kMoveUp, &PlaylistEditorDialog::OnMoveUp));
    playlistButtons->addWidget(makeButton(kMoveDown, &PlaylistEditorDialog::OnMoveDown));
    playlistButtons->addStretch();
    auto* libraryButtons = new QHBoxLayout;
    libraryButtons->addWidget(makeButton(kAdd, &PlaylistEditorDialog::OnAddToPlaylist));
    libraryButtons->addWidget(makeButton(kDelete, &PlaylistEditorDialog::OnDelete));
    libraryButtons->addWidget(
        makeButton(kEditDescription, &PlaylistEditorDialog::OnEditDescription));
    libraryButtons->addStretch();

    auto* lists = new QGridLayout;
    lists->addWidget(playlistView_, 0, 0);
    lists->addWidget(libraryView_, 0, 1);
    lists->addLayout(playlistButtons, 1, 0);
    lists->addLayout(libraryButtons, 1, 1);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(1, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(makeButton(kDefaultTransition, &PlaylistEditorDialog::OnDefaultTransition));
    bottom->addStretch();
    bottom->addWidget(makeButton(kClear, &PlaylistEditorDialog::OnClear));
    bottom->addWidget(makeButton(kLoad, &PlaylistEditorDialog::OnLoad));
    bottom->addWidget(makeButton(kSave, &PlaylistEditorDialog::OnSave));
    bottom->addWidget(makeButton(kClose, &PlaylistEditorDialog::OnClose));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(logoCheck_);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    resize(860, 520);

    // Opening.
    TranslateDialog(kId, this);
    SetupColumns();
    ReadDefaults();
    library_.Load();
    if (library_.clips.empty()) {
        library_.Rescan(false);
        library_.Save();
    }
    FillLibraryList(-1);
    if (playlist_.entries.empty()) {
        NewPlaylist();
    }
    FillPlaylistList(-1);
    ShowName();
    if (openedWhilePlaying_) {
        logoCheck_->setEnabled(false);
        button(kClear)->setEnabled(false);
        button(kLoad)->setEnabled(false);
    }
    playlistView_->setFocus();
}

PlaylistEditorDialog::~PlaylistEditorDialog() {
    WriteIniInt(kSection, "SortMode", VideoLibrary::SortMode());
    for (int i = 0; i < kPlaylistColumns; ++i) {
        WriteIniInt(kSection, "ListColumnWidth" + std::to_string(i),
                    playlistView_->header()->sectionSize(i));
    }
    for (int i = 0; i < kLibraryColumns; ++i) {
        WriteIniInt(kSection, "BaseColumnWidth" + std::to_string(i),
                    libraryView_->header()->sectionSize(i));
    }
    // The models read the library, a member that goes before the dialog's children: the views
    // and models go first.
    delete playlistView_;
    delete libraryView_;
    delete playlistModel_;
    delete libraryModel_;
}

QPushButton* PlaylistEditorDialog::button(int controlId) const {
    for (QPushButton* candidate : findChildren<QPushButton*>()) {
        if (ControlId(candidate) == controlId) {
            return candidate;
        }
    }
    return nullptr;
}

TransitionValues PlaylistEditorDialog::defaults() const {
    TransitionValues values;
    values.transition = defaultTransition_;
    values.interleaveMs = defaultInterleaveMs_;
    values.spacingMs = defaultSpacingMs_;
    return values;
}

void PlaylistEditorDialog::SetupColumns() {
    QStringList playlistTitles;
    for (const int id : kPlaylistTitleIds) {
        playlistTitles << ToQString(TranslateString(id));
    }
    playlistModel_->SetTitles(playlistTitles);
    QStringList libraryTitles;
    for (const int id : kLibraryTitleIds) {
        libraryTitles << ToQString(TranslateString(id));
    }
    libraryModel_->SetTitles(libraryTitles);
    const auto width = [](const std::string& key, int fallback) {
        return std::clamp(GetIniInt(kSection, key, fallback), 0, kMaxColumnWidth);
    };
    for (int i = 0; i < kPlaylistColumns; ++i) {
        playlistView_->header()->resizeSection(
            i, width("ListColumnWidth" + std::to_string(i), kDefaultPlaylistWidths[i]));
    }
    for (int i = 0; i < kLibraryColumns; ++i) {
        libraryView_->header()->resizeSection(
            i, width("BaseColumnWidth" + std::to_string(i), kDefaultLibraryWidths[i]));
    }
}

void PlaylistEditorDialog::ReadDefaults() {
    VideoLibrary::SetSortMode(GetIniInt(kSection, "SortMode", kSortByName));
    defaultTransition_ = GetIniInt(kSection, "DefTransition", 0);
    // The transition table has eight rows; a hand-edited value outside it means "CUT".
    if (defaultTransition_ < 0 || defaultTransition_ >= kTransitionCount) {
        defaultTransition_ = 0;
    }
    defaultInterleaveMs_ = GetIniInt(kSection, "DefTimeIn", 500);
    defaultSpacingMs_ = GetIniInt(kSection, "DefTimeOut", 500);
}

PlaylistEntry PlaylistEditorDialog::EndEntry() const {
    PlaylistEntry end;
    end.transition = defaultTransition_;
    end.interleaveMs = defaultInterleaveMs_;
    end.spacingMs = defaultSpacingMs_;
    return end;
}

void PlaylistEditorDialog::NewPlaylist() {
    playlist_.Clear();
    playlist_.entries.push_back(EndEntry());
    playlistPath_.clear();
    playlist_.logoOff = 0;
    FillPlaylistList(-1);
    ShowName();
    modified_ = false;
}

void PlaylistEditorDialog::FillPlaylistList(int selectRow) {
    playlist_.ComputeTotal();
    playTimeField_->setText(ToQString(FormatDuration(playlist_.totalMs)));
    {
        const QSignalBlocker block(logoCheck_);
        logoCheck_->setChecked(playlist_.logoOff != 0);
    }
    playlistModel_->Refill();
    SelectRow(playlistView_, selectRow);
}

void PlaylistEditorDialog::FillLibraryList(int selectRow) {
    libraryModel_->Refill();
    SelectRow(libraryView_, selectRow);
}

void PlaylistEditorDialog::ShowName() {
    nameField_->setText(ToQString(FileTitle(playlistPath_)));
}

int PlaylistEditorDialog::CurrentPlaylistRow() const {
    return CurrentSelectedRow(playlistView_);
}

int PlaylistEditorDialog::CurrentLibraryRow() const {
    return CurrentSelectedRow(libraryView_);
}

std::string PlaylistEditorDialog::ClipFullPath(const LibraryClip& clip) {
    return Playlist::FullPath(EntryFromClip(clip));
}

PlaylistEntry PlaylistEditorDialog::EntryFromClip(const LibraryClip& clip) {
    PlaylistEntry entry;
    SetEntryFileName(entry, ClipFileName(clip));
    entry.durationMs =
        static_cast<int32_t>(std::min<uint32_t>(clip.durationMs, kMaxClipDurationMs));
    entry.absolutePath = clip.absolutePath;
    SetEntryComment(entry, ClipDescription(clip));
    return entry;
}

// --- Library commands ---------------------------------------------------------------------------

void PlaylistEditorDialog::OnRefresh() {
    const int row = CurrentLibraryRow();
    library_.Rescan(true);
    library_.Save();
    FillLibraryList(row);
}

void PlaylistEditorDialog::OnAddToPlaylist() {
    const int row = CurrentLibraryRow();
    if (row < 0) {
        return;
    }
    PlaylistEntry entry = EntryFromClip(library_.clips[static_cast<size_t>(row)]);
    entry.transition = defaultTransition_;
    entry.interleaveMs = defaultInterleaveMs_;
    entry.spacingMs = defaultSpacingMs_;
    if (playlist_.entries.empty()) {
        playlist_.entries.push_back(EndEntry());
    }
    const auto at = playlist_.entries.insert(playlist_.entries.end() - 1, entry);
    FillPlaylistList(static_cast<int>(at - playlist_.entries.begin()));
    modified_ = true;
}

void PlaylistEditorDialog::OnDelete() {
    const int row = CurrentLibraryRow();
    if (row < 0) {
        return;
    }
    const std::string fullPath = ClipFullPath(library_.clips[static_cast<size_t>(row)]);
    const std::vector<std::string> users = FindPlaylistsUsingClip(fullPath);
    bool confirmed = false;
    if (!users.empty()) {
        ConfirmDeleteDialog confirm(users, this);
        confirmed = confirm.exec() == QDialog::Accepted;
    } else {
        confirmed = TranslatedMessageBox(kStringDeleteFile, mb::YesNo | mb::IconQuestion |
                                                                mb::DefaultButton2) == id::Yes;
    }
    if (!confirmed) {
        return;
    }
    // A file that cannot be deleted comes back with the next refresh; nothing is reported.
    ForceDeleteFile(fullPath);
    library_.clips.erase(library_.clips.begin() + row);
    library_.Save();
    FillLibraryList(-1);

    std::vector<PlaylistEntry>& entries = playlist_.entries;
    if (entries.empty()) {
        return;
    }
    const auto last = entries.end() - 1;
    const auto kept = std::remove_if(entries.begin(), last, [&](const PlaylistEntry& entry) {
        return EqualIgnoringAsciiCase(Playlist::FullPath(entry), fullPath);
    });
    if (kept != last) {
        entries.erase(kept, last);
        FillPlaylistList(-1);
        modified_ = true;
    }
}

void PlaylistEditorDialog::OnEditDescription() {
    const int row = CurrentLibraryRow();
    if (row < 0) {
        return;
    }
    LibraryClip& clip = library_.clips[static_cast<size_t>(row)];
    DescriptionDialog dialog(std::string(ClipFileName(clip)), std::string(ClipDescription(clip)),
                             this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    SetClipDescription(clip, dialog.description());
    library_.Save();
    FillLibraryList(row);
}

void PlaylistEditorDialog::OnLibraryHeaderClicked(int column) {
    if (column == VideoLibrary::SortMode()) {
        return;
    }
    VideoLibrary::SetSortMode(column);
    const int row = CurrentLibraryRow();
    library_.Sort();
    FillLibraryList(row);
}

// --- Playlist commands --------------------------------------------------------------------------

void PlaylistEditorDialog::OnEdit() {
    QModelIndexList selected = playlistView_->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return;
    }
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    const auto valuesOf = [](const PlaylistEntry& entry) {
        TransitionValues values;
        values.transition = entry.transition;
        values.interleaveMs = entry.interleaveMs;
        values.spacingMs = entry.spacingMs;
        for (int i = 0; i < 3; ++i) {
            values.extra[i] = entry.extraCommands[i];
        }
        return values;
    };
    const auto entryAt = [this](const QModelIndex& index) -> PlaylistEntry& {
        return playlist_.entries[static_cast<size_t>(index.row())];
    };
    TransitionValues common = valuesOf(entryAt(selected.front()));
    for (qsizetype i = 1; i < selected.size(); ++i) {
        const TransitionValues other = valuesOf(entryAt(selected[i]));
        const auto mix = [](int32_t& value, int32_t otherValue) {
            if (value != otherValue) {
                value = kMixed;
            }
        };
        mix(common.transition, other.transition);
        mix(common.interleaveMs, other.interleaveMs);
        mix(common.spacingMs, other.spacingMs);
        for (int e = 0; e < 3; ++e) {
            mix(common.extra[e], other.extra[e]);
        }
    }
    const int selectAfter = selected.size() == 1 ? selected.front().row() : -1;
    if (!EditTransitionSettings(common, this)) {
        return;
    }
    for (const QModelIndex& index : selected) {
        PlaylistEntry& entry = entryAt(index);
        if (common.transition != kMixed) {
            entry.transition = common.transition;
        }
        if (common.interleaveMs != kMixed) {
            entry.interleaveMs = common.interleaveMs;
        }
        if (common.spacingMs != kMixed) {
            entry.spacingMs = common.spacingMs;
        }
        for (int e = 0; e < 3; ++e) {
            if (common.extra[e] != kMixed) {
                entry.extraCommands[e] = static_cast<uint8_t>(common.extra[e]);
            }
        }
    }
    FillPlaylistList(selectAfter);
    modified_ = true;
}

void PlaylistEditorDialog::OnRemove() {
    const QModelIndexList selected = playlistView_->selectionModel()->selectedRows();
    if (selected.isEmpty() || playlist_.entries.empty()) {
        return;
    }
    std::set<int> rows;
    for (const QModelIndex& index : selected) {
        rows.insert(index.row());
    }
    const int endRow = static_cast<int>(playlist_.entries.size()) - 1;
    // From the bottom up, so the rows still to go keep their positions.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < endRow) {
            playlist_.entries.erase(playlist_.entries.begin() + *it);
        }
    }
    FillPlaylistList(-1);
    modified_ = true;
}

void PlaylistEditorDialog::OnMoveUp() {
    const int row = CurrentPlaylistRow();
    const int endRow = static_cast<int>(playlist_.entries.size()) - 1;
    if (row <= 0 || row >= endRow) {
        return;
    }
    std::swap(playlist_.entries[static_cast<size_t>(row)],
              playlist_.entries[static_cast<size_t>(row - 1)]);
    FillPlaylistList(row - 1);
    modified_ = true;
}

void PlaylistEditorDialog::OnMoveDown() {
    const int row = CurrentPlaylistRow();
    const int endRow = static_cast<int>(playlist_.entries.size()) - 1;
    if (row < 0 || row + 1 >= endRow) {
        return;
    }
    std::swap(playlist_.entries[static_cast<size_t>(row)],
              playlist_.entries[static_cast<size_t>(row + 1)]);
    FillPlaylistList(row + 1);
    modified_ = true;
}

void PlaylistEditorDialog::OnSelectAll() {
    playlistView_->selectAll();
}

void PlaylistEditorDialog::OnDefaultTransition() {
    TransitionValues values = defaults();
    for (int32_t& extra : values.extra) {
        extra = kMixed;
    }
    if (!EditTransitionSettings(values, this)) {
        return;
    }
    // A transition left unselected keeps the one in use; the times may become "none" (-1), which
    // the playlist raises to each transition's minimum.
    if (values.transition != kMixed) {
        defaultTransition_ = values.transition;
    }
    defaultInterleaveMs_ = values.interleaveMs;
    defaultSpacingMs_ = values.spacingMs;
    WriteIniInt(kSection, "DefTransition", defaultTransition_);
    WriteIniInt(kSection, "DefTimeIn", defaultInterleaveMs_);
    WriteIniInt(kSection, "DefTimeOut", defaultSpacingMs_);
}

void PlaylistEditorDialog::OnLogoClicked(bool checked) {
    playlist_.logoOff = checked ? 1 : 0;
    modified_ = true;
}

void PlaylistEditorDialog::OnClear() {
    if (QuerySaveChanges()) {
        NewPlaylist();
    }
}

bool PlaylistEditorDialog::QuerySaveChanges() {
    if (!modified_ || openedWhilePlaying_) {
        return true;
    }
    switch (TranslatedMessageBox(kStringSaveChanges, mb::YesNoCancel | mb::IconQuestion)) {
        case id::Yes:
            OnSave();
            return !modified_;
        case id::No:
            return true;
        default:
            return false;
    }
}

ui::FileDialogRequest PlaylistEditorDialog::PlaylistFileRequest() const {
    // Opens at the playlist being edited, or in the video folder for a new one.
    ui::FileDialogRequest request;
    request.filter = ui::BuildFileFilter(kPlaylistFileKind);
    request.defaultExtension = ".vid";
    request.initialFile = playlistPath_;
    request.initialFolder = playlistPath_.empty() ? Settings().videoPath : FolderOf(playlistPath_);
    return request;
}

void PlaylistEditorDialog::OnLoad() {
    if (!QuerySaveChanges()) {
        return;
    }
    const std::string chosen = ui::Pickers().OpenFile(PlaylistFileRequest());
    if (chosen.empty()) {
        return;
    }
    playlistPath_ = chosen;
    const int result = playlist_.Load(playlistPath_, true, 0);
    if (result != kPlaylistOk) {
        ReportFileError(result, playlistPath_);
    }
    if (result & kResultFailureBit) {
        NewPlaylist();
    } else if (playlist_.entries.empty()) {
        // A file without even its end entry: give it one, so clips have a place to go.
        playlist_.entries.push_back(EndEntry());
    }
    FillPlaylistList(-1);
    ShowName();
    modified_ = false;
}

void PlaylistEditorDialog::OnSave() {
    const std::string chosen = ui::Pickers().SaveFile(PlaylistFileRequest());
    if (chosen.empty()) {
        return;
    }
    playlistPath_ = chosen;
    const int result = playlist_.Save(playlistPath_);
    if (result != kPlaylistOk) {
        ReportFileError(result, playlistPath_);
    }
    ShowName();
    // Cleared also after a failed save: the operator has been told, and closing asks no more.
    modified_ = false;
}

void PlaylistEditorDialog::OnClose() {
    if (QuerySaveChanges()) {
        QDialog::done(QDialog::Rejected);
    }
}

void PlaylistEditorDialog::reject() {
    OnClose();
}

// --- Keys ---------------------------------------------------------------------------------------

void PlaylistEditorDialog::keyPressEvent(QKeyEvent* event) {
    // Neither Enter nor Escape is a dialog key here: what the focused control left of them ends.
    if (IsEnterKey(event) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool PlaylistEditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (watched == libraryView_ && IsEnterKey(key)) {
        OnAddToPlaylist();
        return true;
    }
    if (watched == playlistView_) {
        if (IsEnterKey(key)) {
            OnEdit();
            return true;
        }
        if (key->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
            OnRemove();
            return true;
        }
        if (key->key() == Qt::Key_A && modifiers == Qt::ControlModifier) {
            OnSelectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RunPlaylistEditor(QWidget* parent, std::string& playlistPath, bool openedWhilePlaying,
                       Playlist& workingCopy) {
    PlaylistEditorDialog editor(workingCopy, playlistPath, openedWhilePlaying, parent);
    editor.exec();
    playlistPath = editor.playlistPath();
}

}  // namespace orx
