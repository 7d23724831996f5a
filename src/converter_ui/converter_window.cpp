#include "converter_ui/converter_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QUrl>

#include "converter_ui/splash_window.h"
#include "desktop/program_icon.h"
#include "desktop/qt_text.h"
#include "desktop/twips.h"
#include "desktop/user_dialogs.h"
#include "desktop/window_fonts.h"
#include "platform/file_system.h"
#include "platform/product.h"
#include "platform/stop.h"
#include "platform/user_folders.h"
#include "run/command_line.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

// One style for every window of the program, made when first needed.
QStyle* WindowStyle() {
  static CompactStyle* style = new CompactStyle;
  return style;
}

template <class Widget>
Widget* Place(QWidget* parent, const char* name, const QRect& at) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  widget->setStyle(WindowStyle());
  widget->setGeometry(at);
  return widget;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const char* text, const QRect& at) {
  auto* label = Place<QLabel>(parent, name, at);
  label->setText(QString::fromUtf8(text));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QCheckBox* PlaceCheck(QWidget* parent, const char* name, const char* text, const QRect& at) {
  auto* box = Place<QCheckBox>(parent, name, at);
  box->setText(QString::fromUtf8(text));
  return box;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const char* text, const QRect& at) {
  auto* button = Place<QPushButton>(parent, name, at);
  button->setText(QString::fromUtf8(text));
  button->setAutoDefault(false);
  return button;
}

void Fill(QComboBox* combo, const ListControl& list) {
  combo->clear();
  int widest = 0;
  const QFontMetrics metrics(combo->font());
  for (const std::string& entry : list.entries) {
    combo->addItem(ToQt(entry));
    widest = std::max(widest, metrics.horizontalAdvance(ToQt(entry)));
  }
  // The open list shows every entry whole ("CourierNew,BoldItalic"); the closed box keeps its
  // size. The room beyond the text: the item's margins, a frame and a scroll bar.
  const int room = 2 * combo->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) +
                   combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 12;
  combo->view()->setMinimumWidth(std::max(combo->width(), widest + room));
}

void SetColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::ButtonText, color);
  palette.setColor(QPalette::Text, color);
  widget->setPalette(palette);
}

}  // namespace

ConverterWindow::ConverterWindow(ConverterStartup& startup, ImageCodec& codec, DesktopShell& shell,
                                 UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), startup_(startup), codec_(codec), shell_(shell), dialogs_(dialogs) {
  BuildControls();
  SetTabOrder();
  ConnectEvents();
  ShowModel();
}

ConverterWindow::~ConverterWindow() = default;

std::string ConverterWindow::Title() const {
  return std::string(kProductVendor) + " " + std::string(kProductName);
}

void ConverterWindow::BuildControls() {
  setObjectName("formConvertToPDF");
  SetUpLayoutWindow(this, 6630, 6480);
  setAcceptDrops(true);
  setMouseTracking(true);

  frmTitle_ = Place<QFrame>(this, "frmTitle", TwipsRect(-45, -15, 8235, 1020));
  frmTitle_->setFrameShape(QFrame::NoFrame);
  frmTitle_->setAutoFillBackground(true);
  QPalette white = frmTitle_->palette();
  white.setColor(QPalette::Window, Qt::white);
  frmTitle_->setPalette(white);
  auto* line = Place<QFrame>(
      frmTitle_, "Line1", QRect(TwipsPoint(-390, 690), TwipsPoint(5310, 690)).adjusted(0, 0, 0, 1));
  line->setAutoFillBackground(true);
  QPalette red = line->palette();
  red.setColor(QPalette::Window, Qt::red);
  line->setPalette(red);
  imgIcon_ = Place<QLabel>(frmTitle_, "imgIcon", QRect(TwipsToPixels(6630) - 38, 8, 32, 32));
  imgIcon_->setPixmap(ProgramPixmap(32));

  lblCaption_ = PlaceLabel(this, "lblCaption", "Convert Text & Images to PDF",
                           TwipsRect(180, 285, 5910, 585));
  // Arial 18 pt bold where it fits; a desktop whose fonts run wider gets a smaller size.
  lblCaption_->setFont(
      FontFitting("Arial", 18, true, lblCaption_->text(), imgIcon_->x() - lblCaption_->x() - 4));
  Label1_ = PlaceLabel(this, "Label1", "Professional Edition with HTML-like text formatting",
                       TwipsRect(750, 735, 4575, 225));
  Label1_->setFont(FontFitting("Verdana", 8.25, false, Label1_->text(), Label1_->width()));
  SetColor(Label1_, QColor(0x80, 0x80, 0x80));

  struct Field {
    const char* label_name;
    const char* caption;
    int label_top;
    const char* field_name;
    int field_top;
    QLineEdit** field;
  } fields[] = {
      {"lblAuthor", "&Author Name:", 1230, "txtAuthor", 1185, &txtAuthor_},
      {"lblCreator", "&Creator:", 1605, "txtCreator", 1575, &txtCreator_},
      {"lblKeyword", "&Keywords:", 1995, "txtKeywords", 1965, &txtKeywords_},
      {"lblSubject", "&Subject:", 2385, "txtSubject", 2355, &txtSubject_},
      {"lblTitle", "&Title:", 2760, "txtTitle", 2730, &txtTitle_},
  };
  for (const Field& f : fields) {
    *f.field = Place<QLineEdit>(this, f.field_name, TwipsRect(1470, f.field_top, 5100, 315));
    QLabel* label =
        PlaceLabel(this, f.label_name, f.caption, TwipsRect(150, f.label_top, 1300, 255));
    label->setBuddy(*f.field);
  }

  lblFilename_ = PlaceLabel(this, "lblFilename", "&Input File:", TwipsRect(135, 3045, 4890, 240));
  txtFilename_ = Place<QLineEdit>(this, "txtFilename", TwipsRect(120, 3255, 6420, 345));
  lblFilename_->setBuddy(txtFilename_);
  cmbFileType_ = Place<QComboBox>(this, "cmbFileType", TwipsRect(120, 3600, 2820, 315));
  btnAlbum_ = PlaceButton(this, "btnAlbum", "&Album", TwipsRect(2940, 3615, 855, 300));
  btnOpen_ = PlaceButton(this, "btnOpen", "&Browse..", TwipsRect(5100, 3600, 1440, 330));
  lblOutputFile_ =
      PlaceLabel(this, "lblOutputFile", "&Output File:", TwipsRect(120, 3975, 4950, 225));
  txtOutputFile_ = Place<QLineEdit>(this, "txtOutputFile", TwipsRect(120, 4200, 6420, 345));
  lblOutputFile_->setBuddy(txtOutputFile_);
  for (QLabel* label : {lblFilename_, lblOutputFile_}) {
    label->setToolTip("Click here to open");
    label->setCursor(Qt::PointingHandCursor);
  }
  btnSave_ = PlaceButton(this, "btnSave", "Bro&wse..", TwipsRect(5115, 4560, 1425, 330));

  struct Combo {
    const char* name;
    QRect at;
    const char* tip;
    QComboBox** combo;
  } combos[] = {
      {"cmbFont", TwipsRect(120, 4590, 1845, 315), "Font", &cmbFont_},
      {"cmbFontSize", TwipsRect(1935, 4590, 690, 315), "Font Size", &cmbFontSize_},
      {"cmbRotation", TwipsRect(2610, 4590, 690, 315), "Rotation", &cmbRotation_},
      {"cmbPageSize", TwipsRect(3315, 4590, 1065, 315), "Page Size", &cmbPageSize_},
      {"cmbMargin", TwipsRect(4350, 4590, 690, 315), "Left Margin", &cmbMargin_},
      {"cmbTopMargin", TwipsRect(4350, 4920, 690, 315), "Top Margin", &cmbTopMargin_},
      {"cmbForeColor", TwipsRect(120, 4950, 1860, 315), "Font Color", &cmbForeColor_},
      {"cmbBackColor", TwipsRect(120, 5295, 1860, 315), "Background Color", &cmbBackColor_},
      {"cmbTransition", TwipsRect(120, 5640, 1860, 315), "Page Transition", &cmbTransition_},
  };
  for (const Combo& c : combos) {
    *c.combo = Place<QComboBox>(this, c.name, c.at);
    (*c.combo)->setToolTip(c.tip);
  }

  chkPageNum_ = PlaceCheck(this, "chkPageNum", "&Page Number", TwipsRect(2010, 5010, 1275, 225));
  chkFormatHeaders_ =
      PlaceCheck(this, "chkFormatHeaders", "Text &Formatting", TwipsRect(5115, 5025, 1455, 225));
  chkFormatHeaders_->setToolTip("Format text using HTML-like formating: <img> <font> <B> <I> <H>");
  chkSkipJPG_ = PlaceCheck(this, "chkSkipJPG", "Do not recompress JPG files",
                           TwipsRect(2010, 5295, 2595, 195));
  // The slider's 7 pixels are too thin for a handle: it takes the room down to the next box.
  hsJPEG_ = Place<QSlider>(this, "hsJPEG", TwipsRect(2280, 5490, 1995, 180));
  hsJPEG_->setOrientation(Qt::Horizontal);
  hsJPEG_->setRange(kJpegQualityMin, kJpegQualityMax);
  hsJPEG_->setToolTip("JPEG quality");
  chkOpen_ = PlaceCheck(this, "chkOpen", "Open &when done", TwipsRect(5100, 5325, 1530, 225));
  chkFullScreen_ = PlaceCheck(this, "chkFullScreen", "Open in Full Screen Mode",
                              TwipsRect(2010, 5670, 2295, 225));

  auto* separator = Place<QFrame>(this, "frmSep", TwipsRect(-60, 5880, 6765, 120));
  separator->setFrameShape(QFrame::HLine);
  separator->setFrameShadow(QFrame::Sunken);
  lblCredits_ = PlaceLabel(this, "lblCredits", kCreditsLine, TwipsRect(75, 6120, 3450, 270));
  SetColor(lblCredits_, Qt::blue);
  lblCredits_->setCursor(Qt::PointingHandCursor);
  btnDefault_ = PlaceButton(this, "btnDefault", "D&efault", TwipsRect(2520, 6045, 1005, 300));
  btnConvert_ = PlaceButton(this, "btnConvert", "Produce PDF", TwipsRect(3750, 6030, 1350, 420));
  btnConvert_->setDefault(true);
  btnClose_ = PlaceButton(this, "btnClose", "Close", TwipsRect(5190, 6030, 1350, 420));
  auto* picture = Place<QLabel>(this, "picImage", TwipsRect(30, 30, 465, 195));
  picture->hide();

  // The title band's texts lie on the band.
  lblCaption_->raise();
  Label1_->raise();
  // Check boxes whose captions need more room than the layout gives grow to the right.
  WidenToFit(chkPageNum_, TwipsToPixels(4350));
  WidenToFit(chkSkipJPG_, TwipsToPixels(5100));
  WidenToFit(chkFullScreen_, TwipsToPixels(6630));
  const int right = TwipsToPixels(6630) - 1;
  WidenToFit(chkFormatHeaders_, right, cmbTopMargin_->geometry().right() + 2);
  WidenToFit(chkOpen_, right, chkSkipJPG_->x() + chkSkipJPG_->sizeHint().width() + 2);
  highlighted_ = {lblFilename_, lblOutputFile_, chkPageNum_, chkFormatHeaders_};

  // Each control and the part of the options model it shows: read and shown through these
  // tables only.
  lists_ = {{cmbFont_, &ConverterControls::cmbFont},
            {cmbFontSize_, &ConverterControls::cmbFontSize},
            {cmbRotation_, &ConverterControls::cmbRotation},
            {cmbPageSize_, &ConverterControls::cmbPageSize},
            {cmbMargin_, &ConverterControls::cmbMargin},
            {cmbTopMargin_, &ConverterControls::cmbTopMargin},
            {cmbForeColor_, &ConverterControls::cmbForeColor},
            {cmbBackColor_, &ConverterControls::cmbBackColor},
            {cmbTransition_, &ConverterControls::cmbTransition},
            {cmbFileType_, &ConverterControls::cmbFileType}};
  texts_ = {{txtAuthor_, &ConverterControls::txtAuthor},
            {txtCreator_, &ConverterControls::txtCreator},
            {txtKeywords_, &ConverterControls::txtKeywords},
            {txtSubject_, &ConverterControls::txtSubject},
            {txtTitle_, &ConverterControls::txtTitle},
            {txtFilename_, &ConverterControls::txtFilename},
            {txtOutputFile_, &ConverterControls::txtOutputFile}};
  checks_ = {{chkPageNum_, &ConverterControls::chkPageNum},
             {chkFormatHeaders_, &ConverterControls::chkFormatHeaders},
             {chkSkipJPG_, &ConverterControls::chkSkipJPG},
             {chkOpen_, &ConverterControls::chkOpen},
             {chkFullScreen_, &ConverterControls::chkFullScreen}};
  for (const auto& [combo, list] : lists_) Fill(combo, model().*list);
}

void ConverterWindow::SetTabOrder() {
  const std::vector<QWidget*> order = {
      txtAuthor_,   txtCreator_,   txtKeywords_,  txtSubject_,    txtTitle_,
      txtFilename_, btnOpen_,      cmbFileType_,  btnAlbum_,      txtOutputFile_,
      btnSave_,     cmbFont_,      cmbFontSize_,  cmbRotation_,   cmbPageSize_,
      cmbMargin_,   cmbTopMargin_, cmbForeColor_, cmbBackColor_,  cmbTransition_,
      chkPageNum_,  chkSkipJPG_,   hsJPEG_,       chkFullScreen_, chkFormatHeaders_,
      chkOpen_,     btnConvert_,   btnClose_,     btnDefault_};
  for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void ConverterWindow::ConnectEvents() {
  connect(btnOpen_, &QPushButton::clicked, this, &ConverterWindow::BrowseInput);
  connect(btnSave_, &QPushButton::clicked, this, &ConverterWindow::BrowseOutput);
  connect(btnConvert_, &QPushButton::clicked, this, &ConverterWindow::Convert);
  connect(btnClose_, &QPushButton::clicked, this, &QWidget::close);
  connect(btnAlbum_, &QPushButton::clicked, this, &ConverterWindow::AlbumClicked);
  connect(btnDefault_, &QPushButton::clicked, this, [this] {
    ReadWidgets();
    ApplyDefaults(model());
    UserChangedControl();
    ShowModel();
  });
  connect(cmbFileType_, &QComboBox::activated, this, &ConverterWindow::FileTypeChanged);
  // What the user changes (never what the program puts in a control).
  for (const auto& [field, text] : texts_) {
    connect(field, &QLineEdit::textEdited, this, &ConverterWindow::UserChangedControl);
  }
  connect(txtOutputFile_, &QLineEdit::textEdited, this, [this] { model().output_named = true; });
  for (const auto& [combo, list] : lists_) {
    connect(combo, &QComboBox::activated, this, &ConverterWindow::UserChangedControl);
  }
  for (const auto& [box, checked] : checks_) {
    connect(box, &QCheckBox::clicked, this, &ConverterWindow::UserChangedControl);
  }
  connect(hsJPEG_, &QSlider::actionTriggered, this, &ConverterWindow::UserChangedControl);
  for (QLineEdit* field : {txtAuthor_, txtCreator_, txtKeywords_, txtSubject_, txtTitle_,
                           txtFilename_, txtOutputFile_}) {
    field->installEventFilter(this);
  }
  for (QWidget* control : highlighted_) {
    control->installEventFilter(this);
    control->setMouseTracking(true);
  }
  lblCredits_->installEventFilter(this);
  txtFilename_->setAcceptDrops(true);
}

void ConverterWindow::ReadWidgets() {
  ConverterControls& m = model();
  for (const auto& [field, text] : texts_) m.*text = FromQt(field->text());
  for (const auto& [combo, list] : lists_) (m.*list).selected = combo->currentIndex();
  for (const auto& [box, checked] : checks_) m.*checked = box->isChecked();
  m.hsJPEG = hsJPEG_->value();
}

void ConverterWindow::ShowModel() {
  const ConverterControls& m = model();
  setWindowTitle(ToQt(m.caption));
  for (const auto& [field, text] : texts_) field->setText(ToQt(m.*text));
  for (const auto& [combo, list] : lists_) combo->setCurrentIndex((m.*list).selected);
  for (const auto& [box, checked] : checks_) box->setChecked(m.*checked);
  hsJPEG_->setValue(m.hsJPEG);
  UpdateActions();
}

void ConverterWindow::UpdateActions() {
  ConverterControls& m = model();
  const bool busy = JobRunning();
  // Everything that could start a job, change a setting or close the window waits for the
  // job, except Close, which then offers to stop it.
  for (QWidget* control : findChildren<QWidget*>()) {
    if (control == btnClose_) continue;
    if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
        qobject_cast<QCheckBox*>(control) || qobject_cast<QSlider*>(control) ||
        qobject_cast<QPushButton*>(control) || control == lblCredits_) {
      control->setEnabled(!busy);
    }
  }
  btnAlbum_->setVisible(m.btnAlbumVisible);
  // The output field follows the input and the file type.
  m.txtFilename = FromQt(txtFilename_->text());
  m.cmbFileType.selected = cmbFileType_->currentIndex();
  const bool output = OutputFieldEnabled(m);
  txtOutputFile_->setReadOnly(!output);
  QPalette palette = txtOutputFile_->palette();
  palette.setColor(QPalette::Base,
                   QApplication::palette().color(output ? QPalette::Base : QPalette::Button));
  txtOutputFile_->setPalette(palette);
  lblOutputFile_->setEnabled(output);
}

void ConverterWindow::Load(bool show_splash) {
  if (show_splash) {
    SplashWindow splash(shell_);
    splash.ShowAs(false);
    CentreOverOwner(&splash, nullptr);
    splash.exec();
  }
  startup_.Restore();
  startup_.ApplyCommandLine();
  ShowModel();
  // The run is the start-up's decision, as in batch mode (standard input and output are
  // batch mode's alone).
  RunPlan plan = startup_.PlanRun("", "");
  switch (plan.kind) {
    case RunPlan::Kind::kHelp:
      dialogs_.ShowMessage(nullptr, Title(), HelpText(), MessageIcon::kInformation);
      SaveAndShowAbout();
      finished_ = true;
      emit closed();
      return;
    case RunPlan::Kind::kConvert:
      // The window shows only if the jobs do not end the program.
      unattended_ = true;
      ReadWidgets();
      pending_.assign(plan.jobs.begin() + 1, plan.jobs.end());
      StartJob(std::move(plan.jobs.front()));
      return;
    case RunPlan::Kind::kRefused:
      dialogs_.ShowMessage(nullptr, Title(), plan.message, MessageIcon::kExclamation);
      exit_status_ = plan.status;
      break;
    case RunPlan::Kind::kNothing:
      break;
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
}

void ConverterWindow::BrowseInput() {
  ReadWidgets();
  ConverterControls& m = model();
  if (m.cmbFileType.selected > 0) {
    ApplyBrowsedFolder(m, dialogs_.ChooseFolder(this, "Select the desired folder:"));
  } else {
    ApplyChosenInputFile(
        m, dialogs_.ChooseFileToOpen(this, "Select a text or graphic file", InputFilter(m)));
  }
  ShowModel();
  keep_focus_ = true;
  txtFilename_->setFocus();
}

void ConverterWindow::BrowseOutput() {
  ReadWidgets();
  ApplyChosenOutputFile(model(), dialogs_.ChooseFileToSave(this, "Save PDF As",
                                                           "Portable Document Format files "
                                                           "(*.pdf)|*.pdf",
                                                           "pdf", std::string()));
  ShowModel();
  keep_focus_ = true;
  txtOutputFile_->setFocus();
}

void ConverterWindow::FileTypeChanged() {
  ReadWidgets();
  switch (ChangeFileType(model())) {
    case FileTypeAction::kFocusInput:
      txtFilename_->setFocus();
      break;
    case FileTypeAction::kStartAlbumBuilder: {
      // The settings are kept for the album's converter run; the album builder comes up at
      // once, with no about window in its way.
      ShowModel();
      SaveSettings();
      const std::string album = startup_.AlbumProgram();
      if (!album.empty()) shell_.StartProgram(album, {}, FolderOfPath(album));
      break;
    }
    case FileTypeAction::kBrowseInput:
      BrowseInput();
      break;
  }
  UpdateActions();
}

void ConverterWindow::AlbumClicked() {
  cmbFileType_->setCurrentText(ToQt(kInteractiveAlbum));
  FileTypeChanged();
}

void ConverterWindow::Convert() {
  if (JobRunning()) return;
  ReadWidgets();
  PrepareNames(model(), HomeFolder());
  ShowModel();
  StartJob(startup_.MakeJobRequest());
}

void ConverterWindow::UserChangedControl() {
  // The command line's switches no longer tell what is in force once the user changes one.
  if (model().caption == ProductTitle()) return;
  model().caption = ProductTitle();
  if (!JobRunning()) setWindowTitle(ToQt(model().caption));
}

void ConverterWindow::StartJob(JobRequest request) {
  job_ = std::make_unique<WindowJob>(codec_, std::move(request), startup_.MakePictureOptions(),
                                     *this, *this);
  connect(job_.get(), &WindowJob::finished, this, &ConverterWindow::JobDone);
  job_->Start();
  UpdateActions();
}

void ConverterWindow::JobDone() {
  const JobReport& report = job_->Report();
  UpdateActions();
  if (StopSignal() != 0) {
    // A signal ends the program: no question, no about window.
    finished_ = true;
    emit closed();
    return;
  }
  if (StopRequested()) {
    // The user's Stop: the job has removed what it had not finished; the window goes on.
    ClearStop();
    emit stopCleared();
    dialogs_.ShowMessage(this, Title(),
                         report.written > 0
                             ? "The conversion was stopped; the PDFs it finished are kept."
                             : "The conversion was stopped; no PDF was written.",
                         MessageIcon::kInformation);
  }
  if (report.unattended) {
    exit_status_ = WorseStatus(exit_status_, StatusOf(report));
    // The command line's next input, unless the user stopped the run.
    if (!pending_.empty() && !report.stopped) {
      JobRequest next = std::move(pending_.front());
      pending_.erase(pending_.begin());
      StartJob(std::move(next));
      return;
    }
    close();
    return;
  }
  if (!isVisible() && !closing_) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
    show();
  }
}

void ConverterWindow::ShowAbout() {
  if (show_about_) {
    show_about_();
    return;
  }
  SplashWindow about(shell_, this);
  about.ShowAs(true);
  // Over the window, or in the middle of the screen after an unattended run.
  CentreOverOwner(&about, this);
  about.exec();
}

void ConverterWindow::SaveSettings() {
  ReadWidgets();
  if (!startup_.Save(unattended_)) {
    dialogs_.ShowMessage(this, Title(), "The settings were not kept: " + startup_.WhyNotKept(),
                         MessageIcon::kExclamation);
  }
}

void ConverterWindow::SaveAndShowAbout() {
  SaveSettings();
  ShowAbout();
}

void ConverterWindow::reject() {
  close();
}

void ConverterWindow::AskToStop() {
  if (asking_to_stop_ || StopRequested()) return;
  asking_to_stop_ = true;
  const bool stop = dialogs_.AskYesNo(this, Title(), std::string(kStopQuestion));
  asking_to_stop_ = false;
  // The job may have ended while the question was open.
  if (stop && JobRunning()) RequestStop(0);
}

void ConverterWindow::closeEvent(QCloseEvent* event) {
  if (JobRunning()) {
    // Esc, "Close" and the title bar's close offer to stop the job; the window stays.
    event->ignore();
    AskToStop();
    return;
  }
  if (!closing_) {
    closing_ = true;
    SaveAndShowAbout();
    finished_ = true;
  }
  event->accept();
  QDialog::hide();
  emit closed();
}

bool ConverterWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    if (!keep_focus_) txtFilename_->setFocus();
    keep_focus_ = false;
  }
  return QDialog::event(event);
}

void ConverterWindow::SetHighlighted(QWidget* control, bool on) {
  SetColor(control, on ? QColor(0, 0, 255) : QApplication::palette().color(QPalette::ButtonText));
  QFont font = control->font();
  font.setUnderline(on);
  control->setFont(font);
}

void ConverterWindow::mouseMoveEvent(QMouseEvent* event) {
  // Over the window's background every highlight goes out.
  for (QWidget* control : highlighted_) SetHighlighted(control, false);
  QDialog::mouseMoveEvent(event);
}

bool ConverterWindow::TakeDrop(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return false;
  // The first file is the input; nothing else changes.
  txtFilename_->setText(urls.front().toLocalFile());
  model().txtFilename = FromQt(txtFilename_->text());
  event->acceptProposedAction();
  return true;
}

void ConverterWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ConverterWindow::dropEvent(QDropEvent* event) {
  TakeDrop(event);
}

bool ConverterWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::FocusIn:
      if (auto* field = qobject_cast<QLineEdit*>(watched)) {
        QTimer::singleShot(0, field, &QLineEdit::selectAll);
      }
      break;
    case QEvent::KeyRelease:
      if (watched == txtFilename_) UpdateActions();
      break;
    case QEvent::Enter:
      // Qt also sends Enter when a window first shows; only a pointer really over the control
      // lights it up.
      if (std::find(highlighted_.begin(), highlighted_.end(), widget) != highlighted_.end() &&
          widget->rect().contains(widget->mapFromGlobal(QCursor::pos()))) {
        SetHighlighted(widget, true);
      }
      break;
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      ReadWidgets();
      if (watched == lblFilename_) {
        shell_.OpenPath(InputLabelTarget(model(), mouse->button() == Qt::LeftButton));
        return true;
      }
      if (watched == lblOutputFile_) {
        const std::string target = OutputLabelTarget(model());
        if (EndsWithIgnoreCase(target, ".pdf") && IsRegularFile(target)) {
          OpenPdf(target);
        } else {
          shell_.OpenPath(target);
        }
        return true;
      }
      if (watched == lblCredits_) {
        ShowAbout();
        return true;
      }
      break;
    }
    case QEvent::DragEnter:
      if (watched == txtFilename_ && static_cast<QDragEnterEvent*>(event)->mimeData()->hasUrls()) {
        static_cast<QDragEnterEvent*>(event)->acceptProposedAction();
        return true;
      }
      break;
    case QEvent::Drop:
      if (watched == txtFilename_ && TakeDrop(static_cast<QDropEvent*>(event))) return true;
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void ConverterWindow::FileStarted(const std::string& input) {
  setWindowTitle(ToQt("Processing " + input));
}

void ConverterWindow::Progress(const JobProgress& progress) {
  setWindowTitle(ToQt(ProgressCaption(progress)));
}

void ConverterWindow::OutputChosen(const std::string& output) {
  model().txtOutputFile = output;
  txtOutputFile_->setText(ToQt(output));
}

void ConverterWindow::FileFailed(const FileFailure& failure) {
  if (failure.kind == FailureKind::kStopped) return;
  dialogs_.ShowMessage(
      this, Title(), failure.message,
      failure.kind == FailureKind::kInputMissing ? MessageIcon::kNone : MessageIcon::kExclamation);
}

void ConverterWindow::PictureComposed(const std::string& picture) {
  warnings_.push_back("picture '" + ShownName(picture) + "': " + std::string(kComposedNote));
}

void ConverterWindow::PictureLeftOut(const std::string& picture, const std::string& reason) {
  left_out_.push_back("'" + ShownName(picture) + "': " + reason);
}

void ConverterWindow::Warning(const std::string& text) {
  warnings_.push_back(text);
}

void ConverterWindow::JobFinished(const JobReport& report) {
  setWindowTitle(ToQt(model().caption));
  if (StopSignal() != 0) return;
  if (!left_out_.empty()) {
    std::string text = "These pictures are left out:";
    for (const std::string& line : left_out_) text += "\r" + line;
    left_out_.clear();
    dialogs_.ShowMessage(this, Title(), text, MessageIcon::kExclamation);
  }
  if (!warnings_.empty()) {
    std::string text;
    for (const std::string& line : warnings_) text += (text.empty() ? "" : "\r") + line;
    warnings_.clear();
    dialogs_.ShowMessage(this, Title(), text, MessageIcon::kExclamation);
  }
  if (report.names_missing) {
    dialogs_.ShowMessage(this, Title(), std::string(kNamesMissingMessage),
                         MessageIcon::kInformation);
  }
}

bool ConverterWindow::AskToOpenPdf(const std::string&) {
  return dialogs_.AskYesNo(this, Title(), std::string(kOpenPdfQuestion));
}

bool ConverterWindow::AskToOpenFolder(const std::string&) {
  return dialogs_.AskYesNo(this, Title(), std::string(kOpenFolderQuestion));
}

void ConverterWindow::OpenPdf(const std::string& pdf) {
  if (!shell_.CanOpenPdf()) {
    dialogs_.ShowMessage(this, Title(),
                         "The PDF was written to " + pdf + ", but no program to open it was found.",
                         MessageIcon::kInformation);
    return;
  }
  shell_.OpenPath(pdf);
}

void ConverterWindow::OpenFolder(const std::string& folder) {
  shell_.OpenPath(folder);
}

}  // namespace vellumox
