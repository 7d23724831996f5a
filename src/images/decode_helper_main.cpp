// vellumox-decode: the helper process in which the outside decoders read pictures
// (decode_helper.h); started by the programs beside it, never by the user.
#include "images/decode_helper.h"

int main() {
  return vellumox::ServeDecodeRequests();
}
