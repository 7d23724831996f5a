// album: the album builder. Picks pictures of a folder into an ordered album and hands it to
// the converter.
#include "album/album_app.h"

int main(int argc, char** argv) {
  return vellumox::RunAlbum(argc, argv);
}
