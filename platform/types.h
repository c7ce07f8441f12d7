// Small value types shared by every folder and by both backends.
#pragma once

#include <cstdint>
#include <string>

namespace q {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const Point& a, const Point& b) { return !(a == b); }
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size& a, const Size& b) { return a.width == b.width && a.height == b.height; }
};

// Left, top, width, height: the form in which the program gives geometry.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    }
    friend bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

// A colour in the COLORREF layout 0x00BBGGRR, as stored in set.ini.
using Color = std::uint32_t;
constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kBlack = rgb(0, 0, 0);
constexpr Color kPureRed = rgb(255, 0, 0);

// A font as the program names it: face (CP936), size in points and the four styles.
struct Font {
    std::string face;  // empty: the system's default face
    int points = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    friend bool operator==(const Font& a, const Font& b) {
        return a.face == b.face && a.points == b.points && a.bold == b.bold && a.italic == b.italic &&
               a.underline == b.underline && a.strike == b.strike;
    }
    friend bool operator!=(const Font& a, const Font& b) { return !(a == b); }
};

}  // namespace q
