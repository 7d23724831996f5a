// formAlbum: the album builder's window. It shows the AlbumModel and forwards every event to
// its rules.
#pragma once

#include <QDialog>
#include <QPointer>

#include "album/album_model.h"
#include "album/preview_window.h"
#include "desktop/desktop_shell.h"
#include "desktop/user_dialogs.h"
#include "images/image_codec.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vellumox {

class AlbumWindow : public QDialog {
  Q_OBJECT

 public:
  AlbumWindow(AlbumModel& model, ImageCodec& codec, AlbumPlaces places, DesktopShell& shell,
              UserDialogs& dialogs, QWidget* parent = nullptr);

  // Shows the model again after it changed behind the window's back.
  void ShowModel();
  // Writes the list and runs the converter on it for the output PDF, showing how far it is;
  // true when the PDF was written (the user is told what happened in any case).
  bool CreateAlbum(const std::string& output);
  void ShowPreview(const std::string& path);
  PreviewWindow* Preview() const { return preview_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ReadSelections();
  void Act(void (AlbumModel::*rule)());
  void DeleteCurrentFile();
  void RenameCurrentFile();
  void ChangeFolder();
  void CreateClicked();
  // The converter on the list, waited for behind a progress dialog with "Stop".
  bool RunConverter(AlbumRun& run, const std::string& output);
  void ShowPreviewWindow();

  AlbumModel& model_;
  ImageCodec& codec_;
  AlbumPlaces places_;
  DesktopShell& shell_;
  UserDialogs& dialogs_;
  QPointer<PreviewWindow> preview_;
  std::string thumbnail_path_;  // the thumbnail's tag: the picture it shows
  QImage thumbnail_picture_;

  QListWidget* flImages_ = nullptr;
  QListWidget* lstImages_ = nullptr;
  QLabel* lblPath_ = nullptr;
  QLabel* imgImage_ = nullptr;
};

// "PDF Album for Kelm's Vellumox PRO+".
std::string AlbumCaption();

// "2 pictures of the album are no longer in the folder: a.jpg, b.jpg. Create the album without
// them?" (ten names at most, then how many more).
std::string MissingPicturesQuestion(const std::vector<std::string>& missing);

}  // namespace vellumox
