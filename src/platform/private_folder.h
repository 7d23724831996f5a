// A temporary folder private to one conversion, made on first use under $TMPDIR and removed
// with everything in it when the object goes. Conversions side by side never share one.
#pragma once

#include <string>
#include <string_view>

namespace vellumox {

class PrivateFolder {
 public:
  // Folders are named prefix + six random characters.
  static constexpr std::string_view kDefaultPrefix = "vellumox-";

  explicit PrivateFolder(std::string_view prefix = kDefaultPrefix) : prefix_(prefix) {}
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // The folder's path, made now if needed; empty when it cannot be made.
  const std::string& Path();
  // Path() + "/" + name.
  std::string File(const std::string& name);
  // Removes the folder and its files; the next Path() makes a new one.
  void Remove();
  // Hands the folder over to another program, which removes it: this object forgets it.
  std::string Release();
  // Takes over a folder that another program made this way and handed over, to remove it
  // here. Only a folder that is plainly such a one is taken: its name starts with this
  // object's prefix, it is a folder of its own (no symbolic link) owned by this user, and no
  // one else may enter it. False, and nothing changes, for any other.
  bool Adopt(const std::string& path);

 private:
  std::string prefix_;
  std::string path_;
};

}  // namespace vellumox
