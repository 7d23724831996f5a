// formSplash: the product window, shown at start-up fading in and out (splash mode), and with
// the credits and an OK button when asked for, or when the converter closes (about mode).
#pragma once

#include <QDialog>
#include <QTimer>

#include "converter_ui/splash_fade.h"
#include "desktop/desktop_shell.h"

class QLabel;
class QPushButton;

namespace vellumox {

class SplashWindow : public QDialog {
  Q_OBJECT

 public:
  SplashWindow(DesktopShell& shell, QWidget* parent = nullptr);

  // True: about mode (opaque, credits and OK shown); false: splash mode (fading, closes
  // itself).
  void ShowAs(bool value);
  // Sets the window's opacity: 0 when applied, 1 when the opacity is outside 0..255, 2 when the
  // window system has no per-window opacity (the window then stays opaque).
  int SetWindowAlpha(int opacity);

  bool AboutMode() const { return about_; }
  QTimer& timer() { return timer_; }

 public slots:
  void reject() override;

 private slots:
  void SplashTick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DesktopShell& shell_;
  SplashFade fade_;
  QTimer timer_;
  bool about_ = false;
  bool faded_out_ = false;
  QLabel* lblProgrammers_ = nullptr;
  QLabel* lblHome_ = nullptr;
  QPushButton* btnOK_ = nullptr;
};

// The credits line of the main window and the about window.
inline constexpr const char* kCreditsLine = "\xC2\xA9 the Vellumox developers";

}  // namespace vellumox
