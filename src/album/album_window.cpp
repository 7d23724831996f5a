#include "album/album_window.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>

#include "album/album_progress.h"
#include "desktop/picture_loader.h"
#include "desktop/program_icon.h"
#include "desktop/qt_text.h"
#include "desktop/twips.h"
#include "desktop/window_fonts.h"
#include "platform/product.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

constexpr const char* kProgramTitle = "PDF Album";

QPushButton* PlaceButton(QWidget* parent, const char* name, const char* text, const QRect& at) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  button->setGeometry(at);
  button->setAutoDefault(false);
  return button;
}

// The list as the model has it, changing only what differs: after a move two items change,
// after an add the new ones are appended, so a list of thousands stays quick. Comparing the
// texts is cheap; what costs in a list widget is adding, removing and selecting items.
void Show(QListWidget* widget, const AlbumList& list) {
  const QSignalBlocker block(widget);
  const int count = list.Count();
  if (widget->count() > count) widget->clear();  // entries went: shown anew
  for (int i = 0; i < widget->count(); ++i) {
    const QString text = ToQt(list.entries[static_cast<size_t>(i)]);
    if (widget->item(i)->text() != text) widget->item(i)->setText(text);
  }
  for (int i = widget->count(); i < count; ++i) {
    widget->addItem(ToQt(list.entries[static_cast<size_t>(i)]));
  }
  // The selection: only the items whose state differs are touched.
  QItemSelectionModel* selection = widget->selectionModel();
  std::vector<bool> shown(static_cast<size_t>(count), false);
  for (const QModelIndex& index : selection->selectedIndexes()) {
    if (index.row() < count) shown[static_cast<size_t>(index.row())] = true;
  }
  for (int i = 0; i < count; ++i) {
    if (shown[static_cast<size_t>(i)] != list.selected[static_cast<size_t>(i)]) {
      widget->item(i)->setSelected(list.selected[static_cast<size_t>(i)]);
    }
  }
  if (widget->currentRow() != list.current) {
    widget->setCurrentRow(list.current, QItemSelectionModel::NoUpdate);
  }
}

void Read(const QListWidget* widget, AlbumList& list) {
  list.current = widget->currentRow();
  list.selected.assign(list.entries.size(), false);
  for (const QModelIndex& index : widget->selectionModel()->selectedIndexes()) {
    if (index.row() < list.Count()) list.selected[static_cast<size_t>(index.row())] = true;
  }
}

}  // namespace

std::string MissingPicturesQuestion(const std::vector<std::string>& missing) {
  constexpr size_t kNamed = 10;
  std::string names;
  for (size_t k = 0; k < missing.size() && k < kNamed; ++k) {
    names += (k > 0 ? ", " : "") + ShownName(missing[k]);
  }
  if (missing.size() > kNamed) names += " and " + std::to_string(missing.size() - kNamed) + " more";
  const bool one = missing.size() == 1;
  return std::to_string(missing.size()) +
         (one ? " picture of the album is" : " pictures of the album are") +
         " no longer in the folder: " + names + ". Create the album without " +
         (one ? "it?" : "them?");
}

std::string AlbumCaption() {
  return "PDF Album for " + std::string(kProductVendor) + " " + std::string(kProductName);
}

AlbumWindow::AlbumWindow(AlbumModel& model, ImageCodec& codec, AlbumPlaces places,
                         DesktopShell& shell, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      model_(model),
      codec_(codec),
      places_(std::move(places)),
      shell_(shell),
      dialogs_(dialogs) {
  BuildControls();
  ShowModel();
}

void AlbumWindow::BuildControls() {
  setObjectName("formAlbum");
  setWindowTitle(ToQt(AlbumCaption()));
  SetUpLayoutWindow(this, 6315, 4260);

  flImages_ = new QListWidget(this);
  flImages_->setObjectName("flImages");
  flImages_->setGeometry(TwipsRect(0, 0, 2685, 3540));
  lstImages_ = new QListWidget(this);
  lstImages_->setObjectName("lstImages");
  lstImages_->setGeometry(TwipsRect(3645, 0, 2670, 3540));
  for (QListWidget* list : {flImages_, lstImages_}) {
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->viewport()->installEventFilter(this);
    list->installEventFilter(this);  // the context-menu key and Shift+F10 reach the list
    // The thumbnail follows the current entry, also when the arrow keys move it.
    connect(list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
      if (item) ShowPreview(model_.PathOf(FromQt(item->text())));
    });
  }
  QPushButton* btnCopy = PlaceButton(this, "btnCopy", "&Copy All >", TwipsRect(2700, 30, 930, 390));
  QPushButton* btnAdd = PlaceButton(this, "btnAdd", "&Add >", TwipsRect(2700, 480, 930, 390));
  QPushButton* btnRemove =
      PlaceButton(this, "btnRemove", "< &Remove", TwipsRect(2700, 975, 930, 390));
  QPushButton* btnDelete =
      PlaceButton(this, "btnDelete", "&Delete File", TwipsRect(2700, 1455, 930, 390));
  QPushButton* btnRename =
      PlaceButton(this, "btnRename", "&Rename", TwipsRect(2700, 1830, 930, 390));
  QPushButton* btnUp = PlaceButton(this, "btnUp", "&Up", TwipsRect(2715, 2430, 930, 390));
  QPushButton* btnDown = PlaceButton(this, "btnDown", "D&own", TwipsRect(2700, 2820, 930, 390));
  QPushButton* btnPath =
      PlaceButton(this, "btnPath", "Directory...", TwipsRect(0, 3600, 1275, 315));
  lblPath_ = new QLabel(this);
  lblPath_->setObjectName("lblPath");
  lblPath_->setGeometry(TwipsRect(0, 3960, 6315, 255));
  QPushButton* btnCreate =
      PlaceButton(this, "btnCreate", "Create PDF Album", TwipsRect(4260, 3570, 2055, 375));
  imgImage_ = new QLabel(this);
  imgImage_->setObjectName("imgImage");
  imgImage_->setGeometry(TwipsRect(2700, 3240, 930, 720));
  imgImage_->setAlignment(Qt::AlignCenter);  // the thumbnail keeps its proportions
  imgImage_->installEventFilter(this);

  QWidget* order[] = {flImages_, lstImages_, btnCopy, btnAdd,  btnRemove, btnDelete,
                      btnRename, btnUp,      btnDown, btnPath, btnCreate};
  for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  // Enter presses the focused button, as Space does.
  for (QPushButton* button : findChildren<QPushButton*>()) button->installEventFilter(this);

  connect(btnCopy, &QPushButton::clicked, this, [this] { Act(&AlbumModel::CopyAllToAlbum); });
  connect(btnAdd, &QPushButton::clicked, this, [this] { Act(&AlbumModel::AddSelectedToAlbum); });
  connect(btnRemove, &QPushButton::clicked, this,
          [this] { Act(&AlbumModel::RemoveSelectedFromAlbum); });
  connect(btnUp, &QPushButton::clicked, this, [this] { Act(&AlbumModel::MoveAlbumItemUp); });
  connect(btnDown, &QPushButton::clicked, this, [this] { Act(&AlbumModel::MoveAlbumItemDown); });
  connect(btnDelete, &QPushButton::clicked, this, &AlbumWindow::DeleteCurrentFile);
  connect(btnRename, &QPushButton::clicked, this, &AlbumWindow::RenameCurrentFile);
  connect(btnPath, &QPushButton::clicked, this, &AlbumWindow::ChangeFolder);
  connect(btnCreate, &QPushButton::clicked, this, &AlbumWindow::CreateClicked);
  connect(flImages_, &QListWidget::itemDoubleClicked, this,
          [this] { Act(&AlbumModel::AddSelectedToAlbum); });
  connect(lstImages_, &QListWidget::itemDoubleClicked, this,
          [this] { Act(&AlbumModel::RemoveSelectedFromAlbum); });
  connect(flImages_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ShowPreview(model_.PathOf(FromQt(item->text()))); });
  connect(lstImages_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ShowPreview(model_.PathOf(FromQt(item->text()))); });

  // The window sees these keys before its controls.
  auto key = [this](QKeySequence sequence, auto action) {
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  key(Qt::Key_F2, [this] { RenameCurrentFile(); });
  key(Qt::Key_F5, [this] {
    model_.RefreshFiles();
    ShowModel();
  });
  key(Qt::Key_Delete, [this] { Act(&AlbumModel::RemoveSelectedFromAlbum); });
  key(Qt::Key_Insert, [this] { Act(&AlbumModel::AddSelectedToAlbum); });
}

void AlbumWindow::ShowModel() {
  Show(flImages_, model_.files);
  Show(lstImages_, model_.album);
  lblPath_->setText(ToQt(model_.Folder()));
}

void AlbumWindow::ReadSelections() {
  Read(flImages_, model_.files);
  Read(lstImages_, model_.album);
}

void AlbumWindow::Act(void (AlbumModel::*rule)()) {
  ReadSelections();
  (model_.*rule)();
  ShowModel();
}

void AlbumWindow::DeleteCurrentFile() {
  ReadSelections();
  std::optional<std::string> name = model_.FileToDelete();
  if (!name) return;
  if (!dialogs_.AskYesNo(this, kProgramTitle, "Do you want to delete '" + *name + "'?")) return;
  model_.DeleteFile(*name);
  ShowModel();
}

void AlbumWindow::RenameCurrentFile() {
  ReadSelections();
  const int i = model_.files.current;
  if (i < 0 || i >= model_.files.Count()) return;
  const std::string old_name = model_.files.entries[static_cast<size_t>(i)];
  std::optional<std::string> answer =
      dialogs_.AskText(this, "Rename " + old_name, "Enter new name:", old_name);
  if (!answer) return;
  if (model_.Rename(old_name, *answer) == RenameOutcome::kNameTaken) {
    dialogs_.ShowMessage(this, kProgramTitle,
                         "'" + *answer + "' exists already: the file keeps its name.",
                         MessageIcon::kExclamation);
  }
  ShowModel();
}

void AlbumWindow::ChangeFolder() {
  const std::string folder = dialogs_.ChooseFolder(this, "Select the desired folder:");
  if (folder.empty()) return;
  model_.SetFolder(folder);
  ShowModel();
}

void AlbumWindow::CreateClicked() {
  // The dialog opens where the pictures are; a name in the program's folder is refused, and the
  // dialog opens again.
  for (;;) {
    const std::string output = dialogs_.ChooseFileToSave(
        this, "Save PDF As", "Portable Document Format files (*.pdf)|*.pdf", "pdf",
        model_.Folder());
    if (output.empty()) return;
    if (!IsProgramFolder(FolderOfPath(output), places_.program_folder)) {
      CreateAlbum(output);
      return;
    }
    dialogs_.ShowMessage(this, kProgramTitle, kNotInProgramFolder, MessageIcon::kExclamation);
  }
}

bool AlbumWindow::CreateAlbum(const std::string& output) {
  // Files deleted or renamed behind the window's back would give blank pages.
  const std::vector<std::string> missing = model_.MissingFromAlbum();
  if (!missing.empty()) {
    if (!dialogs_.AskYesNo(this, kProgramTitle, MissingPicturesQuestion(missing))) return false;
    model_.RemoveMissingFromAlbum();
    ShowModel();
  }
  if (model_.album.entries.empty()) {
    dialogs_.ShowMessage(this, kProgramTitle, "The album is empty: add pictures to it first.",
                         MessageIcon::kInformation);
    return false;
  }
  AlbumRun run = model_.CreateAlbum(output, places_);
  if (!run.skipped.empty() || run.beyond_limit > 0) {
    std::string text;
    if (!run.skipped.empty()) text = "These pictures are left out:";
    for (const LeftOutName& left_out : run.skipped) {
      text += "\r'" + ShownName(left_out.name) + "': " + left_out.reason;
    }
    if (run.beyond_limit > 0) {
      text += (text.empty() ? "" : "\r\r") + BeyondLimitMessage(run.beyond_limit);
    }
    dialogs_.ShowMessage(this, kProgramTitle, text, MessageIcon::kExclamation);
  }
  if (!run.list_written || run.pictures == 0) {
    dialogs_.ShowMessage(this, kProgramTitle,
                         run.list_written ? "None of the pictures can be put in an album."
                                          : "The album list cannot be written in a temporary "
                                            "folder.",
                         MessageIcon::kExclamation);
    return false;
  }
  if (run.converter.empty()) {
    dialogs_.ShowMessage(this, kProgramTitle,
                         "The converter is not in " + places_.program_folder + ".",
                         MessageIcon::kExclamation);
    return false;  // the list's folder goes with the run
  }
  return RunConverter(run, output);
}

bool AlbumWindow::RunConverter(AlbumRun& run, const std::string& output) {
  // The converter runs unattended, without a window of its own, and tells how far it is on its
  // standard error; a modal dialog shows that, with "Stop", which ends the converter through
  // its stop path (it removes its unfinished PDF and its temporary files).
  QProcess converter;
  converter.setProgram(ToQt(run.converter));
  QStringList arguments{"--batch", "--progress"};
  for (const std::string& argument : run.arguments) arguments << ToQt(argument);
  converter.setArguments(arguments);
  converter.setWorkingDirectory(ToQt(run.working_folder));
  converter.setStandardInputFile(QProcess::nullDevice());
  converter.setStandardOutputFile(QProcess::nullDevice());
  AlbumProgress progress;
  QProgressDialog dialog(ToQt(progress.Text()), "Stop", 0, run.pictures, this);
  dialog.setObjectName("dlgAlbumProgress");
  dialog.setWindowTitle("Making the PDF Album");  // apart from the questions, titled "PDF Album"
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setMinimumDuration(0);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  bool stopped = false;
  connect(&converter, &QProcess::readyReadStandardError, &dialog, [&] {
    progress.Feed(converter.readAllStandardError().toStdString());
    dialog.setLabelText(ToQt(progress.Text()));
    if (progress.Count() > 0) {
      dialog.setMaximum(progress.Count());
      dialog.setValue(progress.Picture());
    }
  });
  connect(&dialog, &QProgressDialog::canceled, &converter, [&] {
    stopped = true;
    dialog.setLabelText("Stopping...");
    converter.terminate();
  });
  connect(&converter, &QProcess::finished, &dialog, [&] { dialog.done(0); });
  connect(&converter, &QProcess::errorOccurred, &dialog, [&](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) dialog.done(0);
  });
  converter.start();
  if (!converter.waitForStarted(10000)) {
    dialogs_.ShowMessage(this, kProgramTitle,
                         "The converter " + run.converter + " cannot be started.",
                         MessageIcon::kExclamation);
    return false;
  }
  // The converter removes the list's folder when it ends.
  run.list_folder->Release();
  if (converter.state() != QProcess::NotRunning) dialog.exec();
  if (converter.state() != QProcess::NotRunning) {
    // The dialog went (Esc, or its window closed) while the converter works: a stop too.
    stopped = true;
    converter.terminate();
    converter.waitForFinished(-1);
  }
  progress.Feed(converter.readAllStandardError().toStdString());
  progress.Feed("\n");
  const bool written = converter.exitStatus() == QProcess::NormalExit &&
                       (converter.exitCode() == 0 || converter.exitCode() == 3);
  std::string said;
  for (const std::string& message : progress.Messages()) said += "\r" + message;
  if (stopped) {
    dialogs_.ShowMessage(this, kProgramTitle, "The album was stopped; no PDF was written.",
                         MessageIcon::kInformation);
    return false;
  }
  if (!written || converter.exitCode() != 0) {
    dialogs_.ShowMessage(this, kProgramTitle,
                         (written ? "The album is done: " + output + ", but:"
                                  : std::string("The album could not be made:")) +
                             (said.empty() ? "\rthe converter ended with status " +
                                                 std::to_string(converter.exitCode()) + "."
                                           : said),
                         written ? MessageIcon::kInformation : MessageIcon::kExclamation);
    return written;
  }
  if (dialogs_.AskYesNo(this, kProgramTitle, AlbumDoneQuestion(output))) shell_.OpenPath(output);
  return true;
}

void AlbumWindow::ShowPreview(const std::string& path) {
  if (path == thumbnail_path_ && preview_) return;  // shown already (a click on the current one)
  thumbnail_path_ = path;
  thumbnail_picture_ = model_.CanPreview(path) ? LoadPicture(codec_, path) : QImage();
  imgImage_->setPixmap(FittedPixmap(thumbnail_picture_, imgImage_->size()));
  // The preview window exists from the first preview on, shown or not, and follows each one.
  if (!preview_) preview_ = new PreviewWindow(this);
  preview_->Show(thumbnail_picture_, ToQt(path));
}

void AlbumWindow::ShowPreviewWindow() {
  if (!preview_) return;
  preview_->show();
  preview_->raise();
}

bool AlbumWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      button->click();
      return true;
    }
  }
  if (event->type() == QEvent::ContextMenu &&
      static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
    // The context-menu key and Shift+F10: the current entry in the preview window, as the
    // right button does.
    for (QListWidget* list : {flImages_, lstImages_}) {
      if (watched == list && list->currentItem()) {
        ShowPreview(model_.PathOf(FromQt(list->currentItem()->text())));
        ShowPreviewWindow();
        return true;
      }
    }
  }
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    // Right button: the picture in the preview window.
    if (watched == imgImage_) {
      ShowPreview(thumbnail_path_);
      ShowPreviewWindow();
      return true;
    }
    for (QListWidget* list : {flImages_, lstImages_}) {
      if (watched == list->viewport() && list->currentItem()) {
        ShowPreview(model_.PathOf(FromQt(list->currentItem()->text())));
        ShowPreviewWindow();
        return true;
      }
    }
  }
  if (event->type() == QEvent::MouseButtonDblClick && watched == imgImage_ &&
      !thumbnail_path_.empty()) {
    shell_.OpenPath(thumbnail_path_);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vellumox
