// An open file, closed when the object goes. Every read and write retries when a signal
// interrupts it, so callers never see EINTR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellumox {

class FileHandle {
 public:
  FileHandle() = default;
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Opens an existing regular file for reading; anything else (a folder, a device, a pipe) is
  // refused at once, without waiting on it.
  static FileHandle OpenForReading(const std::string& path);
  // Creates a file that must not exist yet, for writing (permission bits 0666 less the umask).
  static FileHandle CreateNew(const std::string& path);
  // Creates or truncates a file for writing.
  static FileHandle CreateOrTruncate(const std::string& path);
  // The process's standard input and output, borrowed: closing leaves them open.
  static FileHandle StandardInput();
  static FileHandle StandardOutput();

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  // The error number of the last failed call (the open included), 0 when none failed.
  int Error() const { return error_; }

  // Reads up to size bytes at the current position: the count read, 0 at the end, -1 on error.
  int64_t ReadSome(void* buffer, size_t size);
  // Reads size bytes at offset, fewer only at the end of the file; -1 on error.
  int64_t ReadAt(void* buffer, size_t size, int64_t offset);
  // Writes every byte; false on error.
  bool WriteAll(const void* data, size_t size);
  // Appends up to count bytes of source, read from its current position (inside the kernel
  // where the file systems allow it). The count copied; fewer than count means the source
  // ended early or an error occurred: a write error is this handle's Error(), anything else
  // the source's.
  int64_t CopyFrom(FileHandle& source, int64_t count);
  // Sets the permission bits; false on error.
  bool SetPermissions(unsigned bits);
  // Gives the file this owner and group, or the group alone where the process may not give
  // the owner (only root may); false when neither could be set.
  bool SetOwner(uint32_t user, uint32_t group);
  // Closes the file; false when closing reported an error (a delayed write error).
  bool Close();

 private:
  explicit FileHandle(int fd, int error, bool owned = true)
      : fd_(fd), error_(error), owned_(owned) {}
  int fd_ = -1;
  int error_ = 0;
  bool owned_ = true;
};

}  // namespace vellumox
