// Shared by the files of the win32 backend only.
#pragma once

#include <windows.h>

#include <string>

#include "platform/ui.h"

struct tagOFNW;
struct tagCHOOSEFONTW;
struct tagCHOOSECOLORW;
struct IStream;
struct IPicture;

namespace q::win32 {

// CP936 <-> UTF-16, whatever the system's ANSI code page. The one pair used
// for every text: a name with a unit CP936 lacks comes out with the escape of
// platform/text.h and goes back to Windows exact, and shows as its character.
std::wstring widen(const std::string& cp936);
std::string narrow(const std::wstring& utf16);

HINSTANCE instance();

// The HWND of a created window (nullptr when it has no peer).
HWND hwnd_of(const Window& w);
// The HWND of any control, a window included (nullptr when it has no peer).
HWND hwnd_of(const Control& c);
// The window object behind an HWND made by the UI backend (nullptr otherwise).
Window* window_of(HWND h);

// Called by the UI backend's window procedure before its own handling: lets
// the system services answer messages addressed to a window (tray callbacks,
// "TaskbarCreated"). Returns true when the message was handled.
bool service_message(Window& w, HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// A bitmap or JPEG resource decoded into a 32-bit top-down DIB section (nullptr on failure).
HBITMAP load_picture(Res id, int* width = nullptr, int* height = nullptr);

// The XP-look drawing layer of our own controls (owned by the UI backend;
// Desktop::set_xp_look forwards here).
void set_xp_look(bool on);
bool xp_look();

// Design pixels (96 DPI), which the portable code speaks, and the device
// pixels of the screen: every peer scales through these (win_dpi.cpp).
// Each window has its own DPI (that of its monitor on systems that have one
// per monitor): the peers work on a window inside a DpiScope of its DPI, and
// everything below scales by the DPI in effect, the system's outside one.
// Declares the process DPI-aware; called once before any window.
void declare_dpi_aware();
int system_dpi();
// The DPI the system gives the window, the system's where it has one for all.
int window_dpi(HWND h);
// The DPI a window or control of ours is laid out at (its window's).
int dpi_of(HWND h);
int dpi();
class DpiScope {
public:
    explicit DpiScope(int dpi);
    ~DpiScope();
    DpiScope(const DpiScope&) = delete;
    DpiScope& operator=(const DpiScope&) = delete;

private:
    int saved_;
};
int to_device(int design);
int to_design(int device);
Rect to_device(const Rect& design);
Rect to_design(const Rect& device);
Point to_design(Point device);
// A picture scaled to w x h with a bilinear filter, as a new 32-bit top-down
// DIB (src is kept). With a key colour, key pixels stay out of the blend so
// no fringe of the key shows: a pixel lying mostly over key pixels comes out
// as the key exactly, any other takes the colours of the rest; with alpha the
// result is premultiplied for AlphaBlend instead, its alpha the share of
// non-key pixels under it.
HBITMAP scale_picture(HBITMAP src, int w, int h, const COLORREF* key = nullptr, bool alpha = false);
// scale_picture of a design-size picture to its device size; takes design
// (returned as it is at 96 DPI).
HBITMAP to_device(HBITMAP design, const COLORREF* key);

// The UI backend of the exe.
UiBackend& ui();

// Libraries start-up does not need, loaded at their first use (win_libs.cpp).
namespace lib {
BOOL open_file_name(tagOFNW* ofn, bool save);
BOOL choose_font(tagCHOOSEFONTW* cf);
BOOL choose_color(tagCHOOSECOLORW* cc);
// A nullptr sound stops what plays (without loading anything).
BOOL play_sound(LPCWSTR sound, DWORD flags);
// load false: only when the library is already in (closing what may play).
DWORD mci_send_string(const wchar_t* command, bool load = true);

// COM and OLE for as long as one lives; the libraries go with the last.
class Ole {
public:
    Ole();
    ~Ole();
    Ole(const Ole&) = delete;
    Ole& operator=(const Ole&) = delete;
    bool ready() const;
    HRESULT stream_on(HGLOBAL mem, IStream** stream);  // the stream frees mem
    HRESULT load_picture(IStream* stream, LONG size, IPicture** picture);
};
}  // namespace lib

}  // namespace q::win32
