// Pictures decoded from a BMP or JPEG file's bytes: the page's preview and the
// wallpaper's conversion to BMP.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q::media {

// Stretched to fill width x height (the aspect ratio is not kept).
// width x height pixels, 0x00RRGGBB, rows from the top; empty when the bytes
// are no picture that can be decoded (truncated, another format, too large).
std::vector<std::uint32_t> stretched_picture(std::string_view bytes, int width, int height);

// The bytes of a 24-bit BMP file of the picture made the wallpaper of a
// screen_width x screen_height screen: turned upright by its EXIF
// orientation, then filled or fitted to the screen (picture_fit.h). Nothing
// when the bytes cannot be decoded.
std::optional<std::string> wallpaper_bmp(std::string_view bytes, int screen_width, int screen_height);

}  // namespace q::media
