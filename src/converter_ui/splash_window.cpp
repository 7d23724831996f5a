#include "converter_ui/splash_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

#include "desktop/program_icon.h"
#include "desktop/qt_text.h"
#include "desktop/twips.h"
#include "desktop/window_fonts.h"
#include "platform/product.h"

namespace vellumox {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(at);
  return label;
}

}  // namespace

SplashWindow::SplashWindow(DesktopShell& shell, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog), shell_(shell) {
  setObjectName("formSplash");
  setWindowIcon(ProgramIcon());
  setFixedSize(TwipsToPixels(6480), TwipsToPixels(3915));
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);

  auto* panel = new QFrame(this);
  panel->setObjectName("Picture1");
  panel->setGeometry(TwipsRect(0, 345, 6480, 3090));
  panel->setAutoFillBackground(true);
  QPalette white = panel->palette();
  white.setColor(QPalette::Window, QGuiApplication::palette().color(QPalette::Base));
  panel->setPalette(white);

  auto* icon = new QLabel(panel);
  icon->setObjectName("imgIcon");
  icon->setPixmap(ProgramPixmap(64));
  icon->setGeometry(TwipsRect(240, 300, 960, 960));

  QLabel* name = MakeLabel(panel, "lblName",
                           ToQt(std::string(kProductVendor) + " " + std::string(kProductName) +
                                " " + std::string(kProductVersion)),
                           TwipsRect(1500, 360, 4900, 600));
  name->setFont(FontFitting("Arial", 24, false, name->text(), name->width()));
  QPalette navy = name->palette();
  navy.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
  name->setPalette(navy);

  MakeLabel(panel, "Label6", "Convert Plain Text and Image Files to PDF Format",
            TwipsRect(1500, 1020, 4900, 300));

  auto* line = new QFrame(panel);
  line->setObjectName("Line1");
  line->setGeometry(
      QRect(TwipsPoint(1500, 1440), TwipsPoint(6450, 1455)).normalized().adjusted(0, 0, 0, 1));
  line->setAutoFillBackground(true);
  QPalette red = line->palette();
  red.setColor(QPalette::Window, Qt::red);
  line->setPalette(red);

  lblProgrammers_ = MakeLabel(panel, "lblProgrammers", QString::fromUtf8(kCreditsLine),
                              TwipsRect(1500, 1800, 4900, 300));
  btnOK_ = new QPushButton("OK", panel);
  btnOK_->setObjectName("btnOK");
  btnOK_->setGeometry(TwipsRect(5100, 2520, 1200, 420));
  connect(btnOK_, &QPushButton::clicked, this, &QDialog::accept);

  lblHome_ = MakeLabel(this, "lblHome", ToQt(std::string(kProductHomePage)),
                       TwipsRect(240, 3480, 6000, 330));
  QPalette link = lblHome_->palette();
  link.setColor(QPalette::WindowText, QColor(0x80, 0xB0, 0xFF));
  lblHome_->setPalette(link);
  lblHome_->setCursor(Qt::PointingHandCursor);
  lblHome_->installEventFilter(this);

  QLabel* label3 =
      MakeLabel(this, "Label3", "PDF 1.3, written byte by byte", TwipsRect(240, 30, 6000, 300));
  QPalette yellow = label3->palette();
  yellow.setColor(QPalette::WindowText, Qt::yellow);
  label3->setPalette(yellow);

  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(1);
  connect(&timer_, &QTimer::timeout, this, &SplashWindow::SplashTick);
  ShowAs(false);
}

void SplashWindow::ShowAs(bool value) {
  about_ = value;
  const std::string product = std::string(kProductVendor) + " " + std::string(kProductName);
  setWindowTitle(ToQt(value ? "About " + product : product + " " + std::string(kProductVersion)));
  lblProgrammers_->setVisible(value);
  btnOK_->setVisible(value);
  if (value) {
    timer_.stop();
    setWindowOpacity(1.0);
    btnOK_->setDefault(true);
  } else {
    fade_ = SplashFade();
    faded_out_ = false;
    timer_.start();
    SetWindowAlpha(0);
  }
}

int SplashWindow::SetWindowAlpha(int opacity) {
  if (opacity < 0 || opacity > 255) return 1;
  // Without a window system there is no per-window opacity (and Qt warns when asked for it).
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") return 2;
  setWindowOpacity(opacity / 255.0);
  return 0;
}

void SplashWindow::SplashTick() {
  SplashFade::Step step = fade_.Tick();
  if (step.opacity) SetWindowAlpha(*step.opacity);
  if (step.close) {
    timer_.stop();
    faded_out_ = true;
    accept();
  }
}

void SplashWindow::reject() {
  // The splash cannot be dismissed: it closes itself when it has faded out.
  if (about_ || faded_out_) QDialog::reject();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
  if (about_ || faded_out_) {
    QDialog::closeEvent(event);
  } else {
    event->ignore();
  }
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblHome_ && event->type() == QEvent::MouseButtonRelease) {
    shell_.OpenUrl(std::string(kProductHomePage));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vellumox
