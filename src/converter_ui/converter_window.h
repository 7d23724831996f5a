// formConvertToPDF: the converter's window. It shows the controls model of ConverterStartup and
// forwards every event to the model's rules; conversions run as WindowJobs.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "conversion/job_events.h"
#include "converter_ui/window_job.h"
#include "desktop/desktop_shell.h"
#include "desktop/user_dialogs.h"
#include "images/image_codec.h"
#include "run/converter_startup.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace vellumox {

class ConverterWindow : public QDialog, public JobEvents, public JobQuestions {
  Q_OBJECT

 public:
  ConverterWindow(ConverterStartup& startup, ImageCodec& codec, DesktopShell& shell,
                  UserDialogs& dialogs, QWidget* parent = nullptr);
  ~ConverterWindow() override;

  // The start-up after the window is made: the splash (when show_splash), the stored settings,
  // the command line. The window shows itself unless the command line converts and ends the
  // program; Finished() tells when the program should end.
  void Load(bool show_splash);
  // True once the window has closed through its close path (or the program must end).
  bool Finished() const { return finished_; }
  // The exit status: 0, or 1 when an unattended conversion failed.
  int ExitStatus() const { return exit_status_; }
  bool JobRunning() const { return job_ && job_->Running(); }

  // Shows the about window; tests replace it (the default shows formSplash in about mode).
  void SetAboutPresenter(std::function<void()> show_about) { show_about_ = std::move(show_about); }

  ConverterControls& model() { return startup_.controls(); }

  // JobEvents, on the window's thread.
  void FileStarted(const std::string& input) override;
  void OutputChosen(const std::string& output) override;
  void FileFailed(const FileFailure& failure) override;
  void Progress(const JobProgress& progress) override;
  void PictureComposed(const std::string& picture) override;
  void PictureLeftOut(const std::string& picture, const std::string& reason) override;
  void Warning(const std::string& text) override;
  void JobFinished(const JobReport& report) override;
  // JobQuestions, on the window's thread.
  bool AskToOpenPdf(const std::string& pdf) override;
  bool AskToOpenFolder(const std::string& folder) override;
  void OpenPdf(const std::string& pdf) override;
  void OpenFolder(const std::string& folder) override;

 signals:
  // The window has closed for good: the program ends.
  void closed();
  // The user's Stop has been obeyed and forgotten.
  void stopCleared();

 public slots:
  void reject() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void ConnectEvents();
  // The widgets into the options model, and the model into the widgets, through the tables
  // of controls and their model members.
  void ReadWidgets();
  void ShowModel();
  // Every enabled and visible state, derived in one place from the model and the job.
  void UpdateActions();

  void BrowseInput();
  void BrowseOutput();
  void FileTypeChanged();
  void AlbumClicked();
  void Convert();
  // The user changed a control: the caption no longer names the command line's switches.
  void UserChangedControl();
  void StartJob(JobRequest request);
  void JobDone();
  // "Stop the conversion?"; Yes stops the running job through the stop path.
  void AskToStop();
  void ShowAbout();
  // The settings saved, or a message that says why they were not.
  void SaveSettings();
  // The close path without closing: settings saved, about window shown.
  void SaveAndShowAbout();
  void SetHighlighted(QWidget* control, bool on);
  bool TakeDrop(QDropEvent* event);
  std::string Title() const;

  ConverterStartup& startup_;
  ImageCodec& codec_;
  DesktopShell& shell_;
  UserDialogs& dialogs_;
  std::function<void()> show_about_;
  std::unique_ptr<WindowJob> job_;
  std::vector<JobRequest> pending_;    // the command line's inputs still to convert
  std::vector<std::string> left_out_;  // the pictures the running job left out, with reasons
  std::vector<std::string> warnings_;  // what the running job changed to keep its PDFs sound
  bool finished_ = false;
  // The command line named an input: the run converts it and ends, keeping nothing unless asked.
  bool unattended_ = false;
  bool closing_ = false;
  bool asking_to_stop_ = false;
  int exit_status_ = 0;
  bool keep_focus_ = false;  // the next activation leaves the focus where a handler put it

  QFrame* frmTitle_ = nullptr;
  QLabel *lblCaption_ = nullptr, *Label1_ = nullptr, *imgIcon_ = nullptr;
  QLabel *lblFilename_ = nullptr, *lblOutputFile_ = nullptr, *lblCredits_ = nullptr;
  QLineEdit *txtAuthor_ = nullptr, *txtCreator_ = nullptr, *txtKeywords_ = nullptr;
  QLineEdit *txtSubject_ = nullptr, *txtTitle_ = nullptr, *txtFilename_ = nullptr;
  QLineEdit* txtOutputFile_ = nullptr;
  QComboBox *cmbFileType_ = nullptr, *cmbFont_ = nullptr, *cmbFontSize_ = nullptr;
  QComboBox *cmbRotation_ = nullptr, *cmbPageSize_ = nullptr, *cmbMargin_ = nullptr;
  QComboBox *cmbTopMargin_ = nullptr, *cmbForeColor_ = nullptr, *cmbBackColor_ = nullptr;
  QComboBox* cmbTransition_ = nullptr;
  QCheckBox *chkPageNum_ = nullptr, *chkFormatHeaders_ = nullptr, *chkSkipJPG_ = nullptr;
  QCheckBox *chkOpen_ = nullptr, *chkFullScreen_ = nullptr;
  QSlider* hsJPEG_ = nullptr;
  QPushButton *btnAlbum_ = nullptr, *btnOpen_ = nullptr, *btnSave_ = nullptr;
  QPushButton *btnDefault_ = nullptr, *btnConvert_ = nullptr, *btnClose_ = nullptr;
  std::vector<QWidget*> highlighted_;  // the four controls with a hover highlight
  std::vector<std::pair<QComboBox*, ListControl ConverterControls::*>> lists_;
  std::vector<std::pair<QLineEdit*, std::string ConverterControls::*>> texts_;
  std::vector<std::pair<QCheckBox*, bool ConverterControls::*>> checks_;
};

}  // namespace vellumox
