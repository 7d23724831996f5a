// Where a line of text beyond Windows-1252 may break: the Unicode line-breaking algorithm with
// ICU's dictionaries (Thai, Lao, Khmer and Myanmar words, which no blank separates; Chinese and
// Japanese punctuation that never starts or ends a line; U+200B ZERO WIDTH SPACE), in the root
// locale, since the text carries no language. Korean breaks at blanks alone, as its readers
// write it: the algorithm's opportunities between two Hangul syllables are dropped.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace vellumox {

class LineBreaker {
 public:
  LineBreaker();
  ~LineBreaker();
  LineBreaker(const LineBreaker&) = delete;
  LineBreaker& operator=(const LineBreaker&) = delete;

  // The byte offsets of utf8 after which a line may end, rising, without 0 and the end; none
  // when the breaking rules cannot be loaded.
  std::vector<size_t> Opportunities(std::string_view utf8);

 private:
  struct Iterator;
  std::unique_ptr<Iterator> iterator_;  // made when first asked
};

}  // namespace vellumox
