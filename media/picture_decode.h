// The BMP and JPEG decoder (stb_image, from Debian's libstb-dev) behind two
// calls, in a file of its own so that the options it is built with stay with it.
#pragma once

#include <string_view>

namespace q::media {

// A decoded picture: RGB triples, rows from the top; freed with it.
struct DecodedRgb {
    unsigned char* px = nullptr;
    int w = 0, h = 0;
    DecodedRgb() = default;
    DecodedRgb(const DecodedRgb&) = delete;
    DecodedRgb& operator=(const DecodedRgb&) = delete;
    ~DecodedRgb();
};

// The picture's size from its header; false when the bytes are no picture the
// decoder takes. The size of bytes fits an int.
bool picture_size(std::string_view bytes, int& w, int& h);

// The pixels; false when they cannot be decoded. The size of bytes fits an int.
bool decode_rgb(std::string_view bytes, DecodedRgb& out);

}  // namespace q::media
