#pragma once
// A small PNG encoder for pictures the disk hands out (scenerender's frames, the exported
// tunes' cover): 8-bit RGB, each row filtered by its best guess, one zlib stream.
#include <cstdint>
#include <vector>

// Encodes width x height pixels 0x00RRGGBB (rows pitchBytes apart) as an RGB PNG; the fourth
// byte is left out. Empty when the size makes no sense or zlib fails.
std::vector<std::uint8_t> encodePng(const std::uint32_t* pixels, int width, int height,
                                    int pitchBytes);
