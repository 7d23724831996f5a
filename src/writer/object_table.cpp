#include "writer/object_table.h"

#include <string>

#include "writer/writer_error.h"

namespace vellumox {

void ObjectTable::Reset() {
  offsets_.clear();
  offsets_.push_back(0);  // object numbers count from 1
}

int32_t ObjectTable::Reserve() {
  offsets_.push_back(kUnwritten);
  return ObjectCount();
}

int32_t ObjectTable::ReserveRange(int32_t count) {
  const int32_t first = ObjectCount() + 1;
  offsets_.resize(offsets_.size() + static_cast<size_t>(count > 0 ? count : 0), kUnwritten);
  return first;
}

void ObjectTable::MarkWritten(int32_t n, int64_t offset) {
  if (n < 1 || n > ObjectCount()) {
    throw WriterError("Internal error: object " + std::to_string(n) +
                      " was written without being reserved.");
  }
  int64_t& slot = offsets_[static_cast<size_t>(n)];
  if (slot != kUnwritten) {
    throw WriterError("Internal error: object " + std::to_string(n) + " was written twice.");
  }
  slot = offset;
}

void ObjectTable::CheckAllWritten() const {
  for (size_t n = 1; n < offsets_.size(); ++n) {
    if (offsets_[n] == kUnwritten) {
      throw WriterError("Internal error: object " + std::to_string(n) +
                        " was reserved but never written.");
    }
  }
}

}  // namespace vellumox
