// album: the album builder. Picks pictures of a folder into an ordered album and hands it to
// the converter.
#include "album/album_app.h"
#include "platform/stop.h"

int main(int argc, char** argv) {
  // Before any thread starts: a signal is passed on to the converter this program runs.
  vellumox::InstallStopHandling();
  return vellumox::RunMain([&] { return vellumox::RunAlbum(argc, argv); });
}
