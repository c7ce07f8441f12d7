// Pictures, regions, fonts and the looks of the controls we draw ourselves.
#include "platform/win32/win_ui.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <vector>

namespace q::win32 {

using namespace uidetail;

namespace {

template <typename T>
bool read_struct(std::string_view data, std::size_t at, T& out) {
    if (at > data.size() || data.size() - at < sizeof(T)) return false;
    std::memcpy(&out, data.data() + at, sizeof(T));
    return true;
}

HBITMAP make_dib(int w, int h, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

constexpr int kMaxSide = 16384;

// An uncompressed BMP file image (1, 4, 8, 16, 24 or 32 bits) checked against
// its length, then converted by Windows into our 32-bit DIB.
HBITMAP decode_bmp(std::string_view data, int* width, int* height) {
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    if (!read_struct(data, 0, fh) || fh.bfType != 0x4D42) return nullptr;
    if (!read_struct(data, sizeof(fh), ih) || ih.biSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    const int w = ih.biWidth;
    const int h = ih.biHeight < 0 ? -ih.biHeight : ih.biHeight;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || ih.biPlanes != 1) return nullptr;
    const int bpp = ih.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
    if (ih.biCompression != BI_RGB && !(ih.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
        return nullptr;
    std::size_t colors = 0;
    if (bpp <= 8) colors = ih.biClrUsed ? ih.biClrUsed : (1u << bpp);
    if (colors > 256) return nullptr;
    const std::size_t masks = ih.biCompression == BI_BITFIELDS && ih.biSize == sizeof(BITMAPINFOHEADER) ? 3 : 0;
    const std::size_t header_end = sizeof(fh) + ih.biSize + (colors + masks) * 4;
    if (header_end > data.size()) return nullptr;
    const std::size_t stride = ((static_cast<std::size_t>(w) * bpp + 31) / 32) * 4;
    const std::size_t need = stride * static_cast<std::size_t>(h);
    std::size_t off = fh.bfOffBits;
    if (off < header_end) off = header_end;
    if (off > data.size() || data.size() - off < need) return nullptr;

    // The info block, copied aligned, header cut to the classic size.
    std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + (colors + masks) * 4);
    BITMAPINFOHEADER small = ih;
    small.biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(info.data(), &small, sizeof(small));
    if (ih.biCompression == BI_BITFIELDS && masks == 0) {
        // V4/V5 headers keep the masks inside the header, right after it.
        info.resize(sizeof(BITMAPINFOHEADER) + 12);
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), data.data() + sizeof(fh) + sizeof(BITMAPINFOHEADER), 12);
    } else {
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), data.data() + sizeof(fh) + ih.biSize, (colors + masks) * 4);
    }

    void* bits = nullptr;
    HBITMAP dib = make_dib(w, h, &bits);
    if (!dib) return nullptr;
    HDC dc = GetDC(nullptr);
    const int lines = SetDIBits(dc, dib, 0, static_cast<UINT>(h), data.data() + off,
                                reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines != h) {
        DeleteObject(dib);
        return nullptr;
    }
    if (width) *width = w;
    if (height) *height = h;
    return dib;
}

// JPEG (or any other format OLE knows) through Windows' own picture decoder.
// OLE is loaded for this one picture and let go after it: the result is our
// own DIB.
HBITMAP decode_ole(std::string_view data, int* width, int* height) {
    lib::Ole ole;
    if (!ole.ready()) return nullptr;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, data.size());
    if (!mem) return nullptr;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return nullptr;
    }
    std::memcpy(p, data.data(), data.size());
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (FAILED(ole.stream_on(mem, &stream))) {
        GlobalFree(mem);
        return nullptr;
    }
    IPicture* pic = nullptr;
    HRESULT hr = ole.load_picture(stream, static_cast<LONG>(data.size()), &pic);
    stream->Release();
    if (FAILED(hr) || !pic) return nullptr;
    OLE_XSIZE_HIMETRIC hw = 0;
    OLE_YSIZE_HIMETRIC hh = 0;
    pic->get_Width(&hw);
    pic->get_Height(&hh);
    // At design size (96 DPI) like every other picture; the peers scale it.
    HDC screen = GetDC(nullptr);
    const int w = MulDiv(hw, 96, 2540);
    const int h = MulDiv(hh, 96, 2540);
    HBITMAP dib = nullptr;
    if (w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide) {
        void* bits = nullptr;
        dib = make_dib(w, h, &bits);
        if (dib) {
            HDC mem_dc = CreateCompatibleDC(screen);
            HGDIOBJ old = SelectObject(mem_dc, dib);
            hr = pic->Render(mem_dc, 0, 0, w, h, 0, hh, hw, -hh, nullptr);
            SelectObject(mem_dc, old);
            DeleteDC(mem_dc);
            if (FAILED(hr)) {
                DeleteObject(dib);
                dib = nullptr;
            }
        }
    }
    ReleaseDC(nullptr, screen);
    pic->Release();
    if (dib) {
        if (width) *width = w;
        if (height) *height = h;
    }
    return dib;
}

COLORREF mix(COLORREF a, COLORREF b, int b_percent) {
    auto ch = [&](int s) {
        const int x = (a >> s) & 0xFF, y = (b >> s) & 0xFF;
        return ((x * (100 - b_percent) + y * b_percent) / 100) << s;
    };
    return static_cast<COLORREF>(ch(0) | ch(8) | ch(16));
}

void gradient(HDC dc, const RECT& rc, COLORREF top, COLORREF bottom) {
    TRIVERTEX v[2] = {};
    v[0].x = rc.left;
    v[0].y = rc.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    v[1].x = rc.right;
    v[1].y = rc.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT g{0, 1};
    GdiGradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

}  // namespace

HBITMAP load_picture(Res id, int* width, int* height) {
    const std::string_view data = resource_bytes(id);
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') return decode_bmp(data, width, height);
    if (data.size() >= 3 && static_cast<unsigned char>(data[0]) == 0xFF && static_cast<unsigned char>(data[1]) == 0xD8)
        return decode_ole(data, width, height);
    return nullptr;
}

namespace uidetail {

HFONT make_font(const Font& f, bool* owned) {
    HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const Font plain;
    if (f.face.empty() && f == plain && dpi() == 96) {
        *owned = false;
        return stock;
    }
    LOGFONTW lf{};
    GetObjectW(stock, sizeof(lf), &lf);
    // The stock font may keep its 96 DPI height: elsewhere the plain font is
    // made at the screen's DPI, at the stock font's 8 points.
    lf.lfHeight = -MulDiv(f.face.empty() && f == plain ? 8 : f.points, dpi(), 72);
    lf.lfWidth = 0;
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfStrikeOut = f.strike;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (!f.face.empty()) {
        const std::wstring face = widen(f.face);
        wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        lf.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    HFONT made = CreateFontIndirectW(&lf);
    *owned = made != nullptr;
    return made ? made : stock;
}

HRGN region_from_bitmap(HBITMAP bmp, Color key) {
    DIBSECTION ds{};
    if (GetObjectW(bmp, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits || ds.dsBm.bmBitsPixel != 32) return nullptr;
    const int w = ds.dsBm.bmWidth, h = ds.dsBm.bmHeight;
    const bool top_down = ds.dsBmih.biHeight < 0;
    const auto* base = static_cast<const unsigned char*>(ds.dsBm.bmBits);
    // Pixels are stored B, G, R, x.
    const std::uint32_t k = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);

    // Horizontal runs of kept pixels, handed to ExtCreateRegion in batches.
    constexpr DWORD kBatch = 2000;
    std::vector<unsigned char> buf(sizeof(RGNDATAHEADER) + kBatch * sizeof(RECT));
    auto* rd = reinterpret_cast<RGNDATA*>(buf.data());
    auto* rects = reinterpret_cast<RECT*>(rd->Buffer);
    DWORD n = 0;
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    if (!result) return nullptr;
    auto flush = [&]() {
        if (!n) return;
        rd->rdh.dwSize = sizeof(RGNDATAHEADER);
        rd->rdh.iType = RDH_RECTANGLES;
        rd->rdh.nCount = n;
        rd->rdh.nRgnSize = n * sizeof(RECT);
        SetRect(&rd->rdh.rcBound, 0, 0, w, h);
        HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + n * sizeof(RECT)), rd);
        if (part) {
            CombineRgn(result, result, part, RGN_OR);
            DeleteObject(part);
        }
        n = 0;
    };
    for (int y = 0; y < h; ++y) {
        const int row = top_down ? y : h - 1 - y;
        const auto* px = reinterpret_cast<const std::uint32_t*>(base + static_cast<std::size_t>(row) * ds.dsBm.bmWidthBytes);
        int x = 0;
        while (x < w) {
            while (x < w && (px[x] & 0xFFFFFF) == k) ++x;
            const int start = x;
            while (x < w && (px[x] & 0xFFFFFF) != k) ++x;
            if (x > start) {
                SetRect(&rects[n++], start, y, x, y + 1);
                if (n == kBatch) flush();
            }
        }
    }
    flush();
    return result;
}

void draw_button_face(HDC dc, const RECT& rc, const ButtonLook& look, bool always_framed) {
    const bool show = look.hot || look.pressed || always_framed;
    if (!show) return;
    const COLORREF accent = RGB(70, 99, 145);
    if (xp_look()) {
        COLORREF top, bottom, frame;
        if (look.pressed) {
            top = RGB(196, 212, 236);
            bottom = RGB(222, 232, 246);
            frame = mix(accent, RGB(0, 0, 0), 20);
        } else if (look.hot) {
            top = RGB(252, 253, 255);
            bottom = RGB(214, 228, 248);
            frame = accent;
        } else {
            top = RGB(255, 255, 255);
            bottom = RGB(236, 235, 228);
            frame = RGB(0, 60, 116);
        }
        const int round = to_device(6);
        HRGN clip = CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, round, round);
        SaveDC(dc);
        SelectClipRgn(dc, clip);
        RECT inner = rc;
        gradient(dc, inner, top, bottom);
        RestoreDC(dc, -1);
        DeleteObject(clip);
        HPEN pen = CreatePen(PS_SOLID, 1, frame);
        HGDIOBJ op = SelectObject(dc, pen);
        HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, round, round);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(pen);
    } else {
        COLORREF fill = look.pressed ? RGB(200, 210, 226) : look.hot ? RGB(232, 238, 247) : GetSysColor(COLOR_BTNFACE);
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(dc, &rc, b);
        DeleteObject(b);
        HBRUSH f = CreateSolidBrush(look.hot || look.pressed ? accent : GetSysColor(COLOR_BTNSHADOW));
        FrameRect(dc, &rc, f);
        DeleteObject(f);
    }
}

void draw_keyed_bitmap(HDC dc, HBITMAP bmp, int x, int y, int w, int h, COLORREF key) {
    // Scaled smooth with the key left out, then blended by its coverage.
    HBITMAP scaled = scale_picture(bmp, w, h, &key, true);
    if (!scaled) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, scaled);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, x, y, w, h, mem, 0, 0, w, h, bf);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(scaled);
}

void draw_bitmap(HDC dc, HBITMAP bmp, int x, int y, int w, int h) {
    if (!bmp || w <= 0 || h <= 0) return;
    BITMAP bm{};
    GetObjectW(bmp, sizeof(bm), &bm);
    HBITMAP scaled = bm.bmWidth == w && bm.bmHeight == h ? nullptr : scale_picture(bmp, w, h);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, scaled ? scaled : bmp);
    BitBlt(dc, x, y, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (scaled) DeleteObject(scaled);
}

}  // namespace uidetail
}  // namespace q::win32
