// Object numbers and the byte offsets at which their objects start.
#pragma once

#include <cstdint>
#include <vector>

namespace vellumox {

class ObjectTable {
 public:
  void Reset() {
    offsets_.clear();
    offsets_.push_back(0);  // object numbers count from 1
  }
  ObjectTable() { Reset(); }

  // The highest object number handed out so far.
  int32_t ObjectCount() const { return static_cast<int32_t>(offsets_.size() - 1); }

  // Hands out the next number without recording an offset yet (reserved objects, and the
  // content stream whose number the page dictionary needs before the stream starts).
  int32_t Reserve() {
    offsets_.push_back(0);
    return ObjectCount();
  }
  // Records where object n starts.
  void SetOffset(int32_t n, int64_t offset) { offsets_.at(static_cast<size_t>(n)) = offset; }
  int64_t Offset(int32_t n) const { return offsets_.at(static_cast<size_t>(n)); }

 private:
  std::vector<int64_t> offsets_;
};

}  // namespace vellumox
