// The one place where the backend turns design pixels (96 DPI) into device
// pixels and back.
#include "platform/win32/win_internal.h"

#include <cstdint>
#include <vector>

namespace q::win32 {

namespace {

int g_dpi = 0;    // the system's
int g_scope = 0;  // the window's at work, 0 for none

int screen_dpi() {
    HDC dc = GetDC(nullptr);
    const int d = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return d > 0 ? d : 96;
}

}  // namespace

void declare_dpi_aware() {
    // The embedded manifest declares it; this is the fallback for a loader
    // that did not take it (the calls fail harmlessly once it is set).
    // Per-monitor v2 where the system offers it, per-monitor next, then
    // system-aware. Looked up by name: older systems lack them.
    HMODULE user = GetModuleHandleW(L"user32.dll");
    using SetContext = BOOL(WINAPI*)(HANDLE);
    using SetAware = BOOL(WINAPI*)();
    bool done = false;
    if (auto set = user ? reinterpret_cast<SetContext>(reinterpret_cast<void*>(
                              GetProcAddress(user, "SetProcessDpiAwarenessContext")))
                        : nullptr) {
        done = set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))) ||  // per-monitor v2
               set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)));    // per-monitor
    }
    if (!done) {
        if (HMODULE shcore = LoadLibraryW(L"shcore.dll")) {
            using SetAwareness = HRESULT(WINAPI*)(int);
            if (auto set = reinterpret_cast<SetAwareness>(
                    reinterpret_cast<void*>(GetProcAddress(shcore, "SetProcessDpiAwareness"))))
                done = SUCCEEDED(set(2));  // per-monitor
        }
    }
    if (!done && user) {
        if (auto set = reinterpret_cast<SetAware>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
            set();
    }
    g_dpi = screen_dpi();
}

int system_dpi() {
    if (!g_dpi) g_dpi = screen_dpi();
    return g_dpi;
}

int window_dpi(HWND h) {
    // Per-monitor systems know each window's DPI; older ones have one for all.
    using ForWindow = UINT(WINAPI*)(HWND);
    static const ForWindow for_window = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<ForWindow>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                    : nullptr;
    }();
    const int d = h && for_window ? static_cast<int>(for_window(h)) : 0;
    return d > 0 ? d : system_dpi();
}

int dpi() { return g_scope ? g_scope : system_dpi(); }

DpiScope::DpiScope(int dpi) : saved_(g_scope) { g_scope = dpi > 0 ? dpi : saved_; }
DpiScope::~DpiScope() { g_scope = saved_; }

int to_device(int v) { return dpi() == 96 ? v : MulDiv(v, dpi(), 96); }
int to_design(int v) { return dpi() == 96 ? v : MulDiv(v, 96, dpi()); }

Rect to_device(const Rect& r) {
    // Edges are scaled, not the size, so that touching rectangles still touch.
    const int l = to_device(r.left), t = to_device(r.top);
    return {l, t, to_device(r.left + r.width) - l, to_device(r.top + r.height) - t};
}

Rect to_design(const Rect& r) {
    const int l = to_design(r.left), t = to_design(r.top);
    return {l, t, to_design(r.left + r.width) - l, to_design(r.top + r.height) - t};
}

Point to_design(Point p) { return {to_design(p.x), to_design(p.y)}; }

}  // namespace q::win32

namespace q::win32 {

namespace {

// The pixels of any bitmap as 32-bit top-down B, G, R, x words.
bool pixels_of(HBITMAP bmp, int w, int h, std::vector<std::uint32_t>& out) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    out.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    HDC dc = GetDC(nullptr);
    const int lines = GetDIBits(dc, bmp, 0, static_cast<UINT>(h), out.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return lines == h;
}

// Where a device pixel's centre falls between two source pixels.
struct Tap {
    int a, b;
    double t;  // share of b
};

std::vector<Tap> taps(int from, int to) {
    std::vector<Tap> v(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        double f = (i + 0.5) * from / to - 0.5;
        if (f < 0) f = 0;
        if (f > from - 1) f = from - 1;
        const int a = static_cast<int>(f);
        v[static_cast<std::size_t>(i)] = {a, a + 1 < from ? a + 1 : a, f - a};
    }
    return v;
}

}  // namespace

HBITMAP scale_picture(HBITMAP src, int w, int h, const COLORREF* key, bool alpha) {
    BITMAP bm{};
    if (!src || w <= 0 || h <= 0 || !GetObjectW(src, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    const int sw = bm.bmWidth, sh = bm.bmHeight;
    std::vector<std::uint32_t> in;
    if (!pixels_of(src, sw, sh, in)) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down, as the pictures are loaded
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP out = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!out || !bits) {
        if (out) DeleteObject(out);
        return nullptr;
    }
    // Stored B, G, R, x.
    const std::uint32_t k = key ? ((*key & 0xFF) << 16) | (*key & 0xFF00) | ((*key >> 16) & 0xFF) : 0;
    const std::vector<Tap> xs = taps(sw, w), ys = taps(sh, h);
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < h; ++y) {
        const Tap& ty = ys[static_cast<std::size_t>(y)];
        for (int x = 0; x < w; ++x) {
            const Tap& tx = xs[static_cast<std::size_t>(x)];
            const std::uint32_t p[4] = {in[static_cast<std::size_t>(ty.a) * sw + tx.a],
                                        in[static_cast<std::size_t>(ty.a) * sw + tx.b],
                                        in[static_cast<std::size_t>(ty.b) * sw + tx.a],
                                        in[static_cast<std::size_t>(ty.b) * sw + tx.b]};
            const double wt[4] = {(1 - tx.t) * (1 - ty.t), tx.t * (1 - ty.t), (1 - tx.t) * ty.t, tx.t * ty.t};
            // Key pixels stay out of the blend: no fringe of the key colour.
            double share = 0, c[3] = {0, 0, 0};
            for (int i = 0; i < 4; ++i) {
                if (key && (p[i] & 0xFFFFFF) == k) continue;
                share += wt[i];
                for (int ch = 0; ch < 3; ++ch) c[ch] += wt[i] * ((p[i] >> (8 * ch)) & 0xFF);
            }
            std::uint32_t v;
            if (alpha) {
                // Premultiplied, the share of picture as alpha.
                v = static_cast<std::uint32_t>(share * 255 + 0.5) << 24;
                for (int ch = 0; ch < 3; ++ch) v |= static_cast<std::uint32_t>(c[ch] + 0.5) << (8 * ch);
            } else if (key && share < 0.5) {
                v = k;  // mostly over the key: cut away
            } else {
                v = 0;
                for (int ch = 0; ch < 3; ++ch) v |= static_cast<std::uint32_t>(c[ch] / share + 0.5) << (8 * ch);
                if (key && v == k) v ^= 1;  // a blend that happens to be the key is kept
            }
            px[static_cast<std::size_t>(y) * w + x] = v;
        }
    }
    return out;
}

HBITMAP to_device(HBITMAP design, const COLORREF* key) {
    if (!design || dpi() == 96) return design;
    BITMAP bm{};
    if (!GetObjectW(design, sizeof bm, &bm)) return design;
    HBITMAP out = scale_picture(design, to_device(bm.bmWidth), to_device(bm.bmHeight), key, false);
    if (!out) return design;
    DeleteObject(design);
    return out;
}

}  // namespace q::win32
