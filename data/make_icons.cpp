// Writes the program icon as PNG files of the hicolor theme's sizes, for installing:
// make_icons FOLDER  ->  FOLDER/SIZExSIZE/apps/vellumox.png
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "desktop/program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons FOLDER\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
    if (!QDir().mkpath(folder) ||
        !vellumox::ProgramPixmap(size).save(folder + "/vellumox.png", "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
