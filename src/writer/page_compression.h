// Page contents compressed on worker threads while layout goes on, and on the caller's thread
// while it waits for them. Pages are handed in as they
// end and taken back in the same order, so the PDF is the same whatever the number of workers.
// Pages go to the workers in batches of about kBatchBytes (a text page is a few kilobytes, and
// handing each alone to a thread would cost more than compressing it), and the caller takes
// pages back before handing in more than a few batches, so memory stays flat. Each conversion
// owns its compressor: nothing is shared between documents.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "writer/flate.h"

namespace vellumox {

class PageCompressor {
 public:
  // Compression level of the pages: the fastest, since text pages compress well at any level
  // and the time saved is worth more than the last few percent of size.
  static constexpr int kLevel = 1;
  // Pages that show text in embedded faces: their glyph codes gain more from a thorough search,
  // and such pages are laid out several times slower than the compressor takes at this level,
  // so the workers have the time.
  static constexpr int kFaceLevel = 6;
  static constexpr size_t kBatchBytes = 256 * 1024;
  // Beyond this many workers the layout of the pages, on one thread, is what they wait for.
  static constexpr int kMostWorkers = 8;

  // The workers for a process that may run on this many cores: one core is the caller's, which
  // lays out pages and compresses them whenever it would wait; a worker for every core would
  // only make the caller take turns with it (and lose its cache to it) on a core of its own.
  static int WorkersFor(int cores) { return std::clamp(cores - 1, 1, kMostWorkers); }

  // workers: at least one.
  explicit PageCompressor(int workers);
  ~PageCompressor();
  PageCompressor(const PageCompressor&) = delete;
  PageCompressor& operator=(const PageCompressor&) = delete;

  void Submit(std::string content, int level = kLevel);
  // The bytes of the pages handed in and not yet taken back, as they were handed in.
  size_t BytesWaiting() const;
  // The oldest page, compressed (compressing the batches that no worker has started meanwhile);
  // throws WriterError when its compression failed.
  std::string TakeOldest();
  // Drops every waiting page (a failed document).
  void Clear();

 private:
  struct Batch {
    std::vector<std::string> pages;  // the contents, then their compressed bytes
    std::vector<size_t> sizes;       // the contents' sizes
    std::vector<int> levels;         // and the levels they are compressed at
    size_t bytes = 0;
    size_t taken = 0;  // pages taken back
    bool started = false;
    bool done = false;
    std::string error;
  };
  void Work();
  // The oldest batch handed in that no thread has started, if any (with the lock held).
  std::shared_ptr<Batch> NextUnstarted() const;
  // Compresses the batch's pages with the lock released, and marks it done.
  // A thread's compressors, one a level, made when first needed.
  using Compressors = std::map<int, std::unique_ptr<FlateCompressor>>;
  void CompressBatch(std::unique_lock<std::mutex>& lock, Batch& batch, Compressors& compressors);
  // Hands the batch being filled to the workers (with the lock held).
  void CloseBatch();

  mutable std::mutex mutex_;
  std::condition_variable work_ready_, batch_done_;
  std::deque<std::shared_ptr<Batch>> batches_;  // oldest first; the last may be filling
  bool filling_ = false;                        // the last batch is still being filled
  size_t bytes_waiting_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
  // The caller's own, for the batches it compresses while it would wait.
  Compressors caller_compressors_;
};

// The cores this process may run on (at least one).
int UsableCores();

}  // namespace vellumox
