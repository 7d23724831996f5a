// formImage: a picture as large as the window holds it with its proportions, centred, its path
// as the caption; Esc closes it.
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
  // The picture fitted to the window's size anew.
  void Refit();

  QLabel* imgFile_;
  QImage picture_;
};

}  // namespace vellumox
