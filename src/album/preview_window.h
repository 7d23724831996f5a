// formImage: a picture stretched over the whole window, its path as the caption; Esc closes it.
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

namespace vellumox {

class PreviewWindow : public QDialog {
  Q_OBJECT

 public:
  explicit PreviewWindow(QWidget* owner);
  // The picture (a null image shows nothing) and the caption.
  void Show(const QImage& picture, const QString& path);
  QLabel* image() const { return imgFile_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* imgFile_;
};

}  // namespace vellumox
