// Pictures for the windows, decoded by the converter's own codec, so that a window shows
// exactly what the converter can embed.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

#include <string>

#include "images/image_codec.h"

namespace vellumox {

// The picture as an image of at most max_side pixels on its longer side (larger pictures are
// sampled down while they are read, so memory stays small); a null image when it cannot be
// read.
QImage LoadPicture(ImageCodec& codec, const std::string& path, int max_side = 1600);

// The picture as large as fits inside a frame with its proportions kept (a portrait photo
// stays upright and narrow), for a label that centres it; a null pixmap for a null picture.
QPixmap FittedPixmap(const QImage& picture, QSize frame);

}  // namespace vellumox
