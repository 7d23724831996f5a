// The error that the writer's own operations trap and report.
#pragma once

#include <stdexcept>
#include <string>

namespace vellumox {

class WriterError : public std::runtime_error {
 public:
  explicit WriterError(const std::string& description) : std::runtime_error(description) {}
};

}  // namespace vellumox
