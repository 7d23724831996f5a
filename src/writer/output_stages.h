// The stages that the bytes of a PDF pass on their way to the file, each with one job: the
// byte count with its size limit, and the file written atomically. A page's content can be
// collected whole in a buffer and handed on as one piece. Each stage throws WriterError when it
// cannot do its job.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/atomic_file.h"

namespace vellumox {

class OutputStage {
 public:
  virtual ~OutputStage() = default;
  virtual void Write(std::string_view bytes) = 0;
  // Appends count bytes of a file from its position; the count appended, fewer only when the
  // file ended early. By default read in chunks and written on.
  virtual int64_t CopyFrom(FileHandle& source, int64_t count);
};

// The atomic file of the PDF: names in its messages are the output's, as the user gave it.
class FileStage : public OutputStage {
 public:
  // Creates the temporary file; throws WriterError when it cannot.
  void Open(const std::string& output_path);
  bool IsOpen() const { return file_.IsOpen(); }
  void Write(std::string_view bytes) override;
  int64_t CopyFrom(FileHandle& source, int64_t count) override;
  // Renames the finished file over the output; throws WriterError (the file removed) on failure.
  void Commit();
  void Discard() { file_.Discard(); }
  const std::string& TemporaryPath() const { return file_.TemporaryPath(); }

 private:
  [[noreturn]] void Fail(const std::string& what, int error);
  std::string path_;
  AtomicFile file_;
};

// Counts the bytes that pass, and refuses to pass more than the limit.
class CountingStage : public OutputStage {
 public:
  CountingStage(OutputStage& next, int64_t limit) : next_(next), limit_(limit) {}
  void Write(std::string_view bytes) override;
  int64_t CopyFrom(FileHandle& source, int64_t count) override;
  int64_t Count() const { return count_; }
  // Starts counting anew; path names the PDF in the message of the limit.
  void Reset(int64_t limit, std::string path) {
    count_ = 0;
    limit_ = limit;
    path_ = std::move(path);
  }
  // Throws WriterError when count more bytes would pass the limit.
  void CheckRoom(int64_t count) const;

 private:
  OutputStage& next_;
  int64_t limit_;
  int64_t count_ = 0;
  std::string path_;
};

// Collects what it is given, to be handed on whole.
class BufferStage : public OutputStage {
 public:
  void Write(std::string_view bytes) override { bytes_.append(bytes); }
  // What was collected; the buffer is empty afterwards.
  std::string Take() { return std::exchange(bytes_, std::string()); }

 private:
  std::string bytes_;
};

}  // namespace vellumox
