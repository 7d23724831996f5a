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
  FlateCompressor reference(PageCompressor::kLevel);
  for (int workers : {1, 3}) {
    PageCompressor compressor(workers);
    size_t next = 0;
    for (const std::string& page : pages) {
      compressor.Submit(page);
      while (compressor.BytesWaiting() > 2 * PageCompressor::kBatchBytes) {
        ASSERT_EQ(compressor.TakeOldest(), reference.Compress(pages[next])) << next;
        ++next;
      }
    }
    for (; next < pages.size(); ++next) {
      ASSERT_EQ(compressor.TakeOldest(), reference.Compress(pages[next])) << next;
    }
    EXPECT_EQ(compressor.BytesWaiting(), 0u);
    EXPECT_EQ(compressor.TakeOldest(), "");
  }
}

}  // namespace
}  // namespace vellumox
