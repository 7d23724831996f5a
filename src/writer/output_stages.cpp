#include "writer/output_stages.h"

#include <cerrno>
#include <vector>

#include "platform/file_system.h"
#include "writer/writer_error.h"

namespace vellumox {

int64_t OutputStage::CopyFrom(FileHandle& source, int64_t count) {
  std::vector<char> chunk(1 << 16);
  int64_t total = 0;
  while (total < count) {
    const int64_t n = source.ReadSome(
        chunk.data(), static_cast<size_t>(std::min<int64_t>(count - total, chunk.size())));
    if (n <= 0) break;
    Write(std::string_view(chunk.data(), static_cast<size_t>(n)));
    total += n;
  }
  return total;
}

void FileStage::Fail(const std::string& what, int error) {
  if (error == ENOSPC || error == EDQUOT) {
    // The disk, not the document: said so, with the place that is full.
    const size_t slash = path_.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
    throw WriterError("There is no room left in '" + folder + "' for the PDF file '" + path_ +
                      "': " + SystemErrorText(error) + ".");
  }
  throw WriterError(what + " the PDF file '" + path_ + "': " + SystemErrorText(error));
}

void FileStage::Open(const std::string& output_path) {
  path_ = output_path;
  if (file_.Open(output_path)) return;
  switch (file_.Failure()) {
    case AtomicFile::OpenFailure::kFolder:
      throw WriterError("Cannot write the PDF file '" + path_ + "': it is a folder.");
    case AtomicFile::OpenFailure::kNotRegular:
      throw WriterError("Cannot write the PDF file '" + path_ +
                        "': it is not a regular file (a device or a pipe), which a PDF never "
                        "replaces.");
    case AtomicFile::OpenFailure::kNoFreeName:
      throw WriterError("Cannot create the PDF file '" + path_ +
                        "': no free temporary name beside it");
    case AtomicFile::OpenFailure::kNone:
    case AtomicFile::OpenFailure::kSystem:
      break;
  }
  Fail("Cannot create", file_.Error());
}

void FileStage::Write(std::string_view bytes) {
  if (!file_.Write(bytes.data(), bytes.size())) Fail("Cannot write", file_.Error());
}

int64_t FileStage::CopyFrom(FileHandle& source, int64_t count) {
  const int64_t copied = file_.CopyFrom(source, count);
  if (copied < count && file_.Error() != 0) Fail("Cannot write", file_.Error());
  return copied;
}

void FileStage::Commit() {
  if (!file_.Commit()) Fail("Cannot save", file_.Error());
}

void CountingStage::CheckRoom(int64_t count) const {
  if (count_ + count > limit_) {
    throw WriterError("The PDF file '" + path_ + "' would be larger than " +
                      std::to_string(limit_) +
                      " bytes, the most that its cross-reference table can address.");
  }
}

void CountingStage::Write(std::string_view bytes) {
  CheckRoom(static_cast<int64_t>(bytes.size()));
  next_.Write(bytes);
  count_ += static_cast<int64_t>(bytes.size());
}

int64_t CountingStage::CopyFrom(FileHandle& source, int64_t count) {
  CheckRoom(count);
  const int64_t copied = next_.CopyFrom(source, count);
  count_ += copied;
  return copied;
}

}  // namespace vellumox
