#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orv {

// Writes width × height pixels, 0xFFRRGGBB row after row, as an 8-bit RGB PNG at zlib's
// fastest level (on a waterfall's noise it packs as tight as the default level, in a
// quarter of the time). False, with the reason, when the file cannot be written.
bool writePng(const std::string& path, int width, int height, std::span<const std::uint32_t> pixels,
              std::string& reason);

}  // namespace orv
