// Page contents compressed on worker threads while layout goes on. Pages are handed in as they
// end and taken back in the same order, so the PDF is the same whatever the number of workers.
// Pages go to the workers in batches of about kBatchBytes (a text page is a few kilobytes, and
// handing each alone to a thread would cost more than compressing it), and the caller takes
// pages back before handing in more than a few batches, so memory stays flat. Each conversion
// owns its compressor: nothing is shared between documents.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vellumox {

class PageCompressor {
 public:
  // Compression level of the pages: the fastest, since text pages compress well at any level
  // and the time saved is worth more than the last few percent of size.
  static constexpr int kLevel = 1;
  static constexpr size_t kBatchBytes = 256 * 1024;
  // Beyond this many workers the layout of the pages, on one thread, is what they wait for.
  static constexpr int kMostWorkers = 8;

  // workers: at least one.
  explicit PageCompressor(int workers);
  ~PageCompressor();
  PageCompressor(const PageCompressor&) = delete;
  PageCompressor& operator=(const PageCompressor&) = delete;

  void Submit(std::string content);
  // The bytes of the pages handed in and not yet taken back, as they were handed in.
  size_t BytesWaiting() const;
  // The oldest page, compressed (waiting for it); throws WriterError when its compression
  // failed.
  std::string TakeOldest();
  // Drops every waiting page (a failed document).
  void Clear();

 private:
  struct Batch {
    std::vector<std::string> pages;  // the contents, then their compressed bytes
    std::vector<size_t> sizes;       // the contents' sizes
    size_t bytes = 0;
    size_t taken = 0;  // pages taken back
    bool started = false;
    bool done = false;
    std::string error;
  };
  void Work();
  // Hands the batch being filled to the workers (with the lock held).
  void CloseBatch();

  mutable std::mutex mutex_;
  std::condition_variable work_ready_, batch_done_;
  std::deque<std::shared_ptr<Batch>> batches_;  // oldest first; the last may be filling
  bool filling_ = false;                        // the last batch is still being filled
  size_t bytes_waiting_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// The cores this process may run on (at least one).
int UsableCores();

}  // namespace vellumox
