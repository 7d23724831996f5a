#include "platform/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace vellumox {

FileHandle::~FileHandle() {
  Close();
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(other.error_), owned_(other.owned_) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    error_ = other.error_;
    owned_ = other.owned_;
  }
  return *this;
}

FileHandle FileHandle::OpenForReading(const std::string& path) {
  // Without waiting: opening a pipe for reading waits for a writer, which may never come. What
  // is opened must then be a regular file (for which the flag changes nothing).
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileHandle(fd, errno);
  struct stat st {};
  const bool known = ::fstat(fd, &st) == 0;
  if (!known || !S_ISREG(st.st_mode)) {
    const int error = !known ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return FileHandle(-1, error);
  }
  return FileHandle(fd, 0);
}

FileHandle FileHandle::CreateNew(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  return FileHandle(fd, fd < 0 ? errno : 0);
}

FileHandle FileHandle::CreateOrTruncate(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return FileHandle(fd, fd < 0 ? errno : 0);
}

FileHandle FileHandle::StandardInput() {
  return FileHandle(0, 0, false);
}

FileHandle FileHandle::StandardOutput() {
  return FileHandle(1, 0, false);
}

int64_t FileHandle::ReadSome(void* buffer, size_t size) {
  for (;;) {
    ssize_t n = ::read(fd_, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error_ = errno;
    return n;
  }
}

int64_t FileHandle::ReadAt(void* buffer, size_t size, int64_t offset) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, size - done,
                        static_cast<off_t>(offset + static_cast<int64_t>(done)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error_ = errno;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool FileHandle::WriteAll(const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error_ = errno;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

int64_t FileHandle::CopyFrom(FileHandle& source, int64_t count) {
  int64_t total = 0;
  bool in_kernel = true;
  std::string chunk;
  while (total < count) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(count - total, 1 << 24));
    ssize_t n;
    if (in_kernel) {
      n = ::copy_file_range(source.fd_, nullptr, fd_, nullptr, want, 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        in_kernel = false;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        // The kernel does not tell which side failed; it is taken as a read error.
        source.error_ = errno;
        break;
      }
    } else {
      chunk.resize(std::min<size_t>(want, 1 << 20));
      n = source.ReadSome(chunk.data(), chunk.size());
      if (n > 0 && !WriteAll(chunk.data(), static_cast<size_t>(n))) break;
      if (n < 0) break;
    }
    if (n == 0) break;
    total += n;
  }
  return total;
}

bool FileHandle::SetPermissions(unsigned bits) {
  if (::fchmod(fd_, static_cast<mode_t>(bits)) == 0) return true;
  error_ = errno;
  return false;
}

bool FileHandle::SetOwner(uint32_t user, uint32_t group) {
  if (::fchown(fd_, static_cast<uid_t>(user), static_cast<gid_t>(group)) == 0) return true;
  if (::fchown(fd_, static_cast<uid_t>(-1), static_cast<gid_t>(group)) == 0) return true;
  error_ = errno;
  return false;
}

bool FileHandle::Close() {
  if (fd_ < 0) return true;
  int fd = std::exchange(fd_, -1);
  if (!owned_) return true;
  if (::close(fd) != 0 && errno != EINTR) {
    error_ = errno;
    return false;
  }
  return true;
}

}  // namespace vellumox
