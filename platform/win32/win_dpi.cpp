// The one place where the backend turns design pixels (96 DPI) into device
// pixels and back.
#include "platform/win32/win_internal.h"

namespace q::win32 {

namespace {

int g_dpi = 0;

int screen_dpi() {
    HDC dc = GetDC(nullptr);
    const int d = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return d > 0 ? d : 96;
}

}  // namespace

void declare_dpi_aware() {
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

int dpi() {
    if (!g_dpi) g_dpi = screen_dpi();
    return g_dpi;
}

void set_dpi(int d) {
    if (d > 0) g_dpi = d;
}

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

void stretch_smooth(HDC dc, int x, int y, int w, int h, HDC src, int src_w, int src_h) {
    const int old = SetStretchBltMode(dc, HALFTONE);
    POINT org;
    SetBrushOrgEx(dc, 0, 0, &org);
    StretchBlt(dc, x, y, w, h, src, 0, 0, src_w, src_h, SRCCOPY);
    SetBrushOrgEx(dc, org.x, org.y, nullptr);
    SetStretchBltMode(dc, old);
}

HBITMAP to_device(HBITMAP design, bool smooth) {
    if (!design || dpi() == 96) return design;
    BITMAP bm{};
    if (!GetObjectW(design, sizeof bm, &bm)) return design;
    const int w = to_device(bm.bmWidth), h = to_device(bm.bmHeight);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down, as the pictures are loaded
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP out = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!out) return design;
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ old_from = SelectObject(from, design);
    HGDIOBJ old_to = SelectObject(to, out);
    if (smooth) {
        stretch_smooth(to, 0, 0, w, h, from, bm.bmWidth, bm.bmHeight);
    } else {
        const int old = SetStretchBltMode(to, COLORONCOLOR);
        StretchBlt(to, 0, 0, w, h, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        SetStretchBltMode(to, old);
    }
    SelectObject(from, old_from);
    SelectObject(to, old_to);
    DeleteDC(from);
    DeleteDC(to);
    DeleteObject(design);
    return out;
}

}  // namespace q::win32
