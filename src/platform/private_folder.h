// A temporary folder private to one conversion, made on first use under $TMPDIR and removed
// with everything in it when the object goes. Conversions side by side never share one.
#pragma once

#include <string>

namespace vellumox {

class PrivateFolder {
 public:
  PrivateFolder() = default;
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // The folder's path, made now if needed; empty when it cannot be made.
  const std::string& Path();
  // Path() + "/" + name.
  std::string File(const std::string& name);
  // Removes the folder and its files; the next Path() makes a new one.
  void Remove();

 private:
  std::string path_;
};

}  // namespace vellumox
