// What the converter says while it makes an album, as the album builder shows it: the
// converter runs unattended with its progress on (--batch --progress), and its standard error
// comes here as it is written: "vellumox: Processing the album X — picture N of M" lines, and
// the warnings and errors it has to tell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

class AlbumProgress {
 public:
  // The next bytes of the converter's standard error (lines may come in pieces).
  void Feed(std::string_view bytes);
  // The picture being made and how many there are; 0 before the first is reported.
  int Picture() const { return picture_; }
  int Count() const { return count_; }
  // "picture 3 of 116", or "Starting the converter..." before the first.
  std::string Text() const;
  // Whatever else the converter said (its warnings and errors), without its name, in order.
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  void TakeLine(std::string_view line);

  std::string partial_;
  std::string text_;  // "picture N of M" as the converter wrote it
  int picture_ = 0;
  int count_ = 0;
  std::vector<std::string> messages_;
};

// The question at the end of an album that was written.
std::string AlbumDoneQuestion(const std::string& pdf);

}  // namespace vellumox
