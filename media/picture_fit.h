// A decoded picture made ready to be the wallpaper: turned as the camera
// says, then scaled to the screen keeping its aspect. Pure functions over
// pixels, so tests and the fuzz target run them without a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q::media {

// RGB triples, rows from the top.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// The same over pixels held elsewhere (the decoder's buffer).
struct RgbView {
    const std::uint8_t* rgb = nullptr;
    int width = 0, height = 0;
};

// The EXIF orientation (1..8) in a JPEG's APP1 Exif block, IFD0 tag 0x0112;
// 1 when there is none or the bytes are no JPEG. 5 to 8 turn the picture by
// a quarter, so its width and height change places.
int exif_orientation(std::string_view jpeg);

// Where a picture (already turned upright) goes on the screen: the part of
// it taken (fractional, in its pixels) and the rectangle it fills on the
// screen. The screen is filled, the picture's centre cut out, when at most a
// quarter of the picture is lost so; otherwise the whole picture fits,
// centred, with black around it.
struct Placement {
    double src_x = 0, src_y = 0, src_w = 0, src_h = 0;
    int dst_x = 0, dst_y = 0, dst_w = 0, dst_h = 0;
};
Placement place_on_screen(int width, int height, int screen_width, int screen_height);

// The rectangle (x, y, w, h) of src resampled to out_w x out_h: each output
// pixel the average of the area it covers when shrinking, bilinear when
// growing (each axis on its own).
RgbImage resample(RgbView src, double x, double y, double w, double h, int out_w, int out_h);

// The wallpaper of a screen_width x screen_height screen from a picture as
// stored and its EXIF orientation: turned, placed, resampled, black around.
RgbImage wallpaper_image(RgbView stored, int orientation, int screen_width, int screen_height);

// A 24-bit BMP file of the image (rows from the bottom, padded to 4 bytes).
std::string bmp_file(const RgbImage& image);

}  // namespace q::media
