#include "writer/page_compression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "writer/flate.h"

namespace vellumox {
namespace {

// Pages come back in the order handed in, each compressed as one stream, whether a worker or
// the caller (taking pages back while batches wait) compressed them.
TEST(PageCompressor, GivesEveryPageBackInOrderWhoeverCompressedIt) {
  std::vector<std::string> pages;
  for (int i = 0; i < 3000; ++i) {
    pages.push_back("BT (page " + std::to_string(i) + ") Tj ET\r" +
                    std::string(static_cast<size_t>(i % 97) * 20, static_cast<char>('a' + i % 26)));
  }
  // Every third page at the level of pages in embedded faces: each at the level it was
  // handed in with, whichever thread took its batch.
  FlateCompressor fast(PageCompressor::kLevel), thorough(PageCompressor::kFaceLevel);
  auto level_of = [](size_t page) {
    return page % 3 == 2 ? PageCompressor::kFaceLevel : PageCompressor::kLevel;
  };
  auto expected = [&](size_t page) {
    return (page % 3 == 2 ? thorough : fast).Compress(pages[page]);
  };
  for (int workers : {1, 3}) {
    PageCompressor compressor(workers);
    size_t next = 0;
    for (size_t k = 0; k < pages.size(); ++k) {
      compressor.Submit(pages[k], level_of(k));
      while (compressor.BytesWaiting() > 2 * PageCompressor::kBatchBytes) {
        ASSERT_EQ(compressor.TakeOldest(), expected(next)) << next;
        ++next;
      }
    }
    for (; next < pages.size(); ++next) {
      ASSERT_EQ(compressor.TakeOldest(), expected(next)) << next;
    }
    EXPECT_EQ(compressor.BytesWaiting(), 0u);
    EXPECT_EQ(compressor.TakeOldest(), "");
  }
}

}  // namespace
}  // namespace vellumox
