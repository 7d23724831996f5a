#include "album/preview_window.h"

#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>

#include "desktop/picture_loader.h"
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
  imgFile_->setAlignment(Qt::AlignCenter);
  imgFile_->setGeometry(TwipsRect(0, 0, 7050, 4875));
}

void PreviewWindow::Show(const QImage& picture, const QString& path) {
  picture_ = picture;
  Refit();
  setWindowTitle(path);
}

void PreviewWindow::Refit() {
  imgFile_->setPixmap(FittedPixmap(picture_, imgFile_->size()));
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  imgFile_->setGeometry(0, 0, event->size().width(), event->size().height());
  Refit();
  QDialog::resizeEvent(event);
}

}  // namespace vellumox
