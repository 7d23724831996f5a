// The programs' icon: a page with a folded corner and a red "PDF" band, drawn at any size.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace vellumox {

QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();

}  // namespace vellumox
