#pragma once
// Frames written as PNG files (the encoder is the data folder's).
#include <cstdint>
#include <string>

namespace scenerender {

// Writes width x height pixels 0x00RRGGBB (rows pitchBytes apart) as an RGB PNG; the fourth
// byte is left out. Returns an empty string, or why the file could not be written.
std::string WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                     int pitchBytes);

} // namespace scenerender
