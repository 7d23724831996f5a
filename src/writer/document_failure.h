// Why a document was not written, and the one rule by which the writer's operations fail: an
// operation never throws; the first error of a document is recorded, the document will not be
// saved, and every later operation of the writer does nothing.
#pragma once

#include <exception>
#include <new>
#include <string>

namespace vellumox {

enum class FailureKind {
  kNone,
  kInputMissing,  // the input file does not exist or is empty
  kStopped,       // a stop was requested (a signal, a closed pipe, the window's Stop)
  kError,         // anything else: the description says what
};

struct DocumentFailure {
  FailureKind kind = FailureKind::kNone;
  std::string message;  // the first error of the document; later ones are its consequences
};

class FailureRecord {
 public:
  void Clear() { first_ = DocumentFailure(); }
  // Keeps the first failure only.
  void Record(FailureKind kind, std::string message) {
    if (first_.kind == FailureKind::kNone) first_ = {kind, std::move(message)};
  }
  bool Failed() const { return first_.kind != FailureKind::kNone; }
  const DocumentFailure& First() const { return first_; }

  // Runs body unless the document has failed; what it throws is recorded as the failure.
  template <class Body>
  void Trapped(Body&& body) {
    if (Failed()) return;
    try {
      body();
    } catch (const std::bad_alloc&) {
      Record(FailureKind::kError, "Out of memory.");
    } catch (const std::exception& e) {
      Record(FailureKind::kError, e.what());
    }
  }

 private:
  DocumentFailure first_;
};

}  // namespace vellumox
