#include "writer/page_compression.h"

#include <sched.h>

#include <algorithm>
#include <system_error>

#include "writer/flate.h"
#include "writer/writer_error.h"

namespace vellumox {

int UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  return std::max(1, CPU_COUNT(&set));
}

PageCompressor::PageCompressor(int workers) {
  try {
    for (int i = 0; i < std::max(1, workers); ++i) workers_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for do the same work; none at all fails the document, and no
    // started thread is left running.
    if (workers_.empty()) throw;
  }
}

PageCompressor::~PageCompressor() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void PageCompressor::CloseBatch() {
  if (!filling_) return;
  filling_ = false;
  work_ready_.notify_one();
}

void PageCompressor::Submit(std::string content, int level) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!filling_) {
    batches_.push_back(std::make_shared<Batch>());
    filling_ = true;
  }
  Batch& batch = *batches_.back();
  batch.bytes += content.size();
  bytes_waiting_ += content.size();
  batch.sizes.push_back(content.size());
  batch.levels.push_back(level);
  batch.pages.push_back(std::move(content));
  if (batch.bytes >= kBatchBytes) CloseBatch();
}

size_t PageCompressor::BytesWaiting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_waiting_;
}

std::string PageCompressor::TakeOldest() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (batches_.empty()) return std::string();
  std::shared_ptr<Batch> batch = batches_.front();
  if (batches_.size() == 1) CloseBatch();  // the page asked for may be in the batch filling
  // Rather than wait, the caller compresses batches itself: its core would idle otherwise, and
  // a worker more than the cores left would only take turns with it.
  while (!batch->done) {
    if (std::shared_ptr<Batch> unstarted = NextUnstarted()) {
      CompressBatch(lock, *unstarted, caller_compressors_);
    } else {
      batch_done_.wait(lock);
    }
  }
  if (!batch->error.empty()) {
    batches_.pop_front();
    throw WriterError(batch->error);
  }
  bytes_waiting_ -= std::min(bytes_waiting_, batch->sizes[batch->taken]);
  std::string page = std::move(batch->pages[batch->taken++]);
  if (batch->taken == batch->pages.size()) batches_.pop_front();
  return page;
}

void PageCompressor::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  // A batch that a worker holds finishes on its own; it is no longer asked for.
  batches_.clear();
  filling_ = false;
  bytes_waiting_ = 0;
}

std::shared_ptr<PageCompressor::Batch> PageCompressor::NextUnstarted() const {
  const size_t ready = batches_.size() - (filling_ ? 1 : 0);
  for (size_t i = 0; i < ready; ++i) {
    if (!batches_[i]->started) return batches_[i];
  }
  return nullptr;
}

void PageCompressor::CompressBatch(std::unique_lock<std::mutex>& lock, Batch& batch,
                                   Compressors& compressors) {
  batch.started = true;
  lock.unlock();
  std::string failure;
  for (size_t k = 0; k < batch.pages.size() && failure.empty(); ++k) {
    try {
      std::unique_ptr<FlateCompressor>& compressor = compressors[batch.levels[k]];
      if (!compressor) compressor = std::make_unique<FlateCompressor>(batch.levels[k]);
      batch.pages[k] = compressor->Compress(batch.pages[k]);
    } catch (const WriterError& e) {
      failure = e.what();
    } catch (const std::bad_alloc&) {
      failure = "Out of memory.";
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  lock.lock();
  batch.error = std::move(failure);
  batch.done = true;
  batch_done_.notify_all();
}

void PageCompressor::Work() {
  Compressors compressors;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    std::shared_ptr<Batch> batch;
    work_ready_.wait(lock, [&] { return stopping_ || (batch = NextUnstarted()) != nullptr; });
    if (stopping_) return;
    CompressBatch(lock, *batch, compressors);
  }
}

}  // namespace vellumox
