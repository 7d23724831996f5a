// Object numbers and the byte offsets at which their objects start. Every number is reserved
// before its object is written, and every reserved object must be written exactly once: a
// number written twice, written without a reservation, or never written is a fault of the
// writer, reported as a WriterError instead of ending up as a wrong cross reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellumox {

class ObjectTable {
 public:
  ObjectTable() { Reset(); }
  void Reset();

  // The highest object number handed out so far.
  int32_t ObjectCount() const { return static_cast<int32_t>(offsets_.size() - 1); }

  // Hands out the next number; its object is written later.
  int32_t Reserve();
  // Hands out count consecutive numbers and returns the first.
  int32_t ReserveRange(int32_t count);
  // Records that reserved object n starts at offset. Throws WriterError when n is not reserved
  // or has been written already.
  void MarkWritten(int32_t n, int64_t offset);
  // Throws WriterError naming the first reserved object that has not been written.
  void CheckAllWritten() const;
  // Where object n starts; -1 while it is not written.
  int64_t Offset(int32_t n) const { return offsets_.at(static_cast<size_t>(n)); }

 private:
  static constexpr int64_t kUnwritten = -1;
  std::vector<int64_t> offsets_;
};

}  // namespace vellumox
