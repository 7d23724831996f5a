#include "album/preview_window.h"

#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>

#include "desktop/program_icon.h"
#include "desktop/twips.h"

namespace vellumox {

PreviewWindow::PreviewWindow(QWidget* owner) : QDialog(owner) {
  setObjectName("formImage");
  setWindowIcon(ProgramIcon());
  setAttribute(Qt::WA_DeleteOnClose);
  resize(TwipsToPixels(7095), TwipsToPixels(4920));
  imgFile_ = new QLabel(this);
  imgFile_->setObjectName("imgFile");
  imgFile_->setScaledContents(true);  // the picture fills the control, proportions aside
  imgFile_->setGeometry(TwipsRect(0, 0, 7050, 4875));
}

void PreviewWindow::Show(const QImage& picture, const QString& path) {
  imgFile_->setPixmap(QPixmap::fromImage(picture));
  setWindowTitle(path);
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  imgFile_->setGeometry(0, 0, event->size().width(), event->size().height());
  QDialog::resizeEvent(event);
}

}  // namespace vellumox
