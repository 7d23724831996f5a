#include "platform/file_system.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "platform/stop.h"

namespace vellumox {

namespace {

// A salt for temporary names: unique enough with the clock, the caller and the process, and
// random where the system offers randomness.
uint64_t RandomSalt(const void* caller) {
  uint64_t salt =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  salt ^= reinterpret_cast<uintptr_t>(caller) * 0x9E3779B97F4A7C15ull;
  salt ^= static_cast<uint64_t>(::getpid()) << 32;
  try {
    std::random_device device;
    salt ^= (static_cast<uint64_t>(device()) << 32) ^ device();
  } catch (...) {
    // The clock, the address and the process number are unique enough on their own.
  }
  return salt;
}

// The most bytes a file system takes for a name (NAME_MAX of Linux's file systems).
constexpr size_t kMaxNameBytes = 255;

// ".name.XXXXXX": eight bytes more than the name. A name too long for that (248 bytes or more,
// which the file system still takes) is shortened in its twin to what leaves room, cut before a
// UTF-8 character rather than inside one, so that any name can be written.
std::string HiddenNameBeside(const std::string& path, uint64_t salt) {
  static constexpr char kDigits[] =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base.size() > kMaxNameBytes - 8) {
    size_t keep = kMaxNameBytes - 8;
    while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
    base.resize(keep);
  }
  std::string suffix = ".";
  for (int i = 0; i < 6; ++i, salt /= 62) suffix += kDigits[salt % 62];
  return folder + "." + base + suffix;
}

}  // namespace

int64_t FileLength(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FileExists(const std::string& path) {
  return FileLength(path) >= 1;
}

bool IsRegularFile(const std::string& path) {
  return FileLength(path) >= 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

FileType TypeOf(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return FileType::kNone;
  if (S_ISREG(st.st_mode)) return FileType::kRegular;
  return S_ISDIR(st.st_mode) ? FileType::kFolder : FileType::kOther;
}

std::optional<FileIdentity> StandardInputIdentity() {
  struct stat st;
  if (::fstat(0, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool SameFile(const std::string& a, const std::string& b) {
  std::optional<FileIdentity> ia = IdentityOf(a);
  return ia && ia == IdentityOf(b);
}

std::string ReadFileText(const std::string& path) {
  if (!FileExists(path)) return std::string();
  FileHandle file = FileHandle::OpenForReading(path);
  if (!file.IsOpen()) return std::string();
  std::string out;
  char buf[65536];
  for (;;) {
    int64_t n = file.ReadSome(buf, sizeof buf);
    if (n < 0) return std::string();
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

std::string ReadFileHead(const std::string& path, size_t max_bytes) {
  FileHandle file = FileHandle::OpenForReading(path);
  if (!file.IsOpen()) return std::string();
  // Read in pieces: a limit far above the file's size costs nothing.
  std::string head;
  char buf[65536];
  while (head.size() < max_bytes) {
    const int64_t n = file.ReadAt(buf, std::min(sizeof buf, max_bytes - head.size()),
                                  static_cast<int64_t>(head.size()));
    if (n <= 0) break;
    head.append(buf, static_cast<size_t>(n));
  }
  return head;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes, int* error) {
  FileHandle file = FileHandle::CreateOrTruncate(path);
  bool ok = file.IsOpen() && file.WriteAll(bytes.data(), bytes.size()) && file.Close();
  if (!ok && error) *error = file.Error();
  return ok;
}

namespace {

// Copies everything from one file to another. Standard input and output may be pipes and
// terminals, which can keep a thread waiting for ever: waits on them wake for a stop, writes to
// them go in pieces that a pipe with room takes without waiting, and a reader that has gone
// (EPIPE) is taken as a stop, as SIGPIPE would have been.
bool Pump(FileHandle& from, FileHandle& to, int* error) {
  const bool wait_to_read = from.Descriptor() == 0;
  const bool wait_to_write = to.Descriptor() == 1;
  std::vector<char> buf(1 << 16);
  auto stopped = [&] {
    if (error) *error = ECANCELED;
    return false;
  };
  for (;;) {
    if (wait_to_read && WaitFor(0, POLLIN, -1) == WaitResult::kStopped) return stopped();
    int64_t n = from.ReadSome(buf.data(), buf.size());
    if (n < 0) {
      if (error) *error = from.Error();
      return false;
    }
    if (n == 0) return true;
    const size_t piece = wait_to_write ? 4096 : buf.size();
    for (int64_t done = 0; done < n;) {
      if (wait_to_write && WaitFor(1, POLLOUT, -1) == WaitResult::kStopped) return stopped();
      const size_t size = static_cast<size_t>(std::min<int64_t>(n - done, piece));
      if (!to.WriteAll(buf.data() + done, size)) {
        if (to.Error() == EPIPE) RequestStop(SIGPIPE);
        if (error) *error = to.Error();
        return false;
      }
      done += static_cast<int64_t>(size);
    }
  }
}

}  // namespace

bool SaveStandardInput(const std::string& path, int* error) {
  FileHandle in = FileHandle::StandardInput();
  FileHandle out = FileHandle::CreateNew(path);
  if (!out.IsOpen()) {
    if (error) *error = out.Error();
    return false;
  }
  const bool ok = Pump(in, out, error) && out.Close();
  if (!ok && error && *error == 0) *error = out.Error();
  return ok;
}

bool CopyToStandardOutput(const std::string& path, int* error) {
  FileHandle in = FileHandle::OpenForReading(path);
  if (!in.IsOpen()) {
    if (error) *error = in.Error();
    return false;
  }
  FileHandle out = FileHandle::StandardOutput();
  return Pump(in, out, error);
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(dir);
  return names;
}

std::string FollowSymlinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> buf(4096);
    ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return current;
    std::string target(buf.data(), static_cast<size_t>(n));
    if (target[0] != '/') {
      size_t slash = current.find_last_of('/');
      target = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + target;
    }
    current = target;
  }
  return current;
}

std::optional<unsigned> PermissionBits(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<unsigned>(st.st_mode & 07777);
}

std::optional<FileOwner> OwnerOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileOwner{static_cast<uint32_t>(st.st_uid), static_cast<uint32_t>(st.st_gid)};
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool CopyFileToNew(const std::string& from, const std::string& to, int* error) {
  const int64_t size = FileLength(from);
  FileHandle source = FileHandle::OpenForReading(from);
  if (size < 0 || !source.IsOpen()) {
    if (error) *error = source.IsOpen() ? EINVAL : source.Error();
    return false;
  }
  FileHandle target = FileHandle::CreateNew(to);
  if (!target.IsOpen()) {
    if (error) *error = target.Error();
    return false;
  }
  const bool copied = target.CopyFrom(source, size) == size;
  const bool closed = target.Close();
  if (copied && closed) return true;
  if (error) *error = target.Error() ? target.Error() : (source.Error() ? source.Error() : EIO);
  RemoveFile(to);
  return false;
}

bool RenameFile(const std::string& from, const std::string& to, int* error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  if (error) *error = errno;
  return false;
}

FileHandle CreateFileBeside(const std::string& path, std::string* temp_path) {
  temp_path->clear();
  const uint64_t salt = RandomSalt(temp_path);
  FileHandle file;
  for (int attempt = 0; attempt < 64; ++attempt) {
    std::string candidate = HiddenNameBeside(path, salt + attempt * 7919u);
    file = FileHandle::CreateNew(candidate);
    if (file.IsOpen()) {
      *temp_path = candidate;
      return file;
    }
    if (file.Error() != EEXIST) return file;
  }
  return file;
}

std::string CreateUniqueFile(const std::string& folder, std::string_view prefix,
                             std::string_view suffix) {
  std::string pattern = folder + "/" + std::string(prefix) + "XXXXXX" + std::string(suffix);
  int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return std::string();
  ::close(fd);
  return pattern;
}

std::string SystemErrorText(int error) {
  return std::strerror(error);
}

}  // namespace vellumox
