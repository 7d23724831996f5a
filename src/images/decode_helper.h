// The outside decoders (ImageMagick's formats, and EMF through emf2svg-conv and librsvg) read
// pictures from anywhere, so they run in a helper process, vellumox-decode, beside the program:
// one per thread that asks, kept for the thread's life, not one per picture. The helper's
// memory, the time it may take for a picture and the size of the files it writes are limited;
// a picture that breaks a limit, or that the helper dies on, is left out with a reason in the
// user's terms, and the next picture starts a new helper. A stop ends the helper at once, and a
// helper ends with the process that started it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "images/image_codec.h"

namespace vellumox {

inline constexpr int kHelperSecondsPerPicture = 30;
inline constexpr int64_t kHelperMemoryLimit = int64_t{1} << 30;
inline constexpr int64_t kHelperFileSizeLimit = int64_t{1} << 30;
inline constexpr const char* kDecodeHelperProgram = "vellumox-decode";

// The formats that the helper reads (asked of it once per caller; it starts the helper), or
// nullopt with a reason when the helper cannot be asked.
std::optional<std::vector<ImageFormat>> HelperReadableFormats(std::string* error);
// The picture's size from its header, read by the helper.
std::optional<PixelSize> HelperReadSize(const std::string& path, ImageFormat format,
                                        std::string* error);
// The picture decoded by the helper, row by row; temp_folder takes its intermediate files.
std::unique_ptr<PixelRows> HelperDecode(const std::string& path, ImageFormat format,
                                        const std::string& temp_folder, std::string* error);

// The helper's own side: answers the requests that come on standard input until it closes.
int ServeDecodeRequests();

}  // namespace vellumox
