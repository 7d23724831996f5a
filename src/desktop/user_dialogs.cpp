#include "desktop/user_dialogs.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include "conversion/job_events.h"
#include "desktop/qt_text.h"

namespace vellumox {

std::string QtNameFilters(const std::string& filter) {
  std::string out;
  size_t start = 0;
  while (start < filter.size()) {
    size_t bar = filter.find('|', start);
    std::string description = filter.substr(start, bar - start);
    if (bar == std::string::npos) break;
    size_t end = filter.find('|', bar + 1);
    std::string patterns = filter.substr(bar + 1, end == std::string::npos ? end : end - bar - 1);
    std::string spaced;
    size_t from = 0;
    while (from <= patterns.size()) {
      size_t semi = patterns.find(';', from);
      std::string pattern = patterns.substr(from, semi == std::string::npos ? semi : semi - from);
      if (pattern == "*.*") pattern = "*";
      if (!pattern.empty()) spaced += (spaced.empty() ? "" : " ") + pattern;
      if (semi == std::string::npos) break;
      from = semi + 1;
    }
    if (!out.empty()) out += ";;";
    out += description + " (" + spaced + ")";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}

void CentreOverOwner(QWidget* window, QWidget* owner) {
  window->adjustSize();
  QRect area;
  if (owner && owner->isVisible()) {
    area = owner->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  } else {
    return;
  }
  window->move(area.center() - window->rect().center());
}

void SystemDialogs::ShowMessage(QWidget* parent, const std::string& title, const std::string& text,
                                MessageIcon icon) {
  QMessageBox box(parent);
  box.setWindowTitle(ToQt(title));
  box.setText(ToQt(MessageLines(text)));
  box.setIcon(icon == MessageIcon::kInformation   ? QMessageBox::Information
              : icon == MessageIcon::kExclamation ? QMessageBox::Warning
                                                  : QMessageBox::NoIcon);
  box.setStandardButtons(QMessageBox::Ok);
  CentreOverOwner(&box, parent);
  box.exec();
}

bool SystemDialogs::AskYesNo(QWidget* parent, const std::string& title, const std::string& text) {
  QMessageBox box(parent);
  box.setWindowTitle(ToQt(title));
  box.setText(ToQt(MessageLines(text)));
  box.setIcon(QMessageBox::Question);
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  CentreOverOwner(&box, parent);
  return box.exec() == QMessageBox::Yes;
}

std::string SystemDialogs::ChooseFileToOpen(QWidget* parent, const std::string& title,
                                            const std::string& filter) {
  // The descriptions carry their own pattern lists; the patterns that Qt adds are hidden.
  return FromQt(QFileDialog::getOpenFileName(parent, ToQt(title), QString(),
                                             ToQt(QtNameFilters(filter)), nullptr,
                                             QFileDialog::HideNameFilterDetails));
}

std::string SystemDialogs::ChooseFileToSave(QWidget* parent, const std::string& title,
                                            const std::string& filter,
                                            const std::string& default_suffix,
                                            const std::string& folder) {
  QFileDialog dialog(parent, ToQt(title), ToQt(folder), ToQt(QtNameFilters(filter)));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(ToQt(default_suffix));
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
  return FromQt(dialog.selectedFiles().front());
}

std::string SystemDialogs::ChooseFolder(QWidget* parent, const std::string& prompt) {
  return FromQt(QFileDialog::getExistingDirectory(parent, ToQt(prompt)));
}

std::optional<std::string> SystemDialogs::AskText(QWidget* parent, const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
  bool ok = false;
  QString text = QInputDialog::getText(parent, ToQt(title), ToQt(prompt), QLineEdit::Normal,
                                       ToQt(initial), &ok);
  if (!ok) return std::nullopt;
  return FromQt(text);
}

}  // namespace vellumox
