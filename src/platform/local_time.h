// The local date and time, for the creation dates of documents.
#pragma once

#include <string>

namespace vellumox {

// Now, in local time, as "YYYYMMDDHHMMSS".
std::string LocalTimestamp();

}  // namespace vellumox
