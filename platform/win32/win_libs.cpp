// System libraries that start-up does not need, loaded at their first use:
// the common dialogs, the multimedia library and OLE. The first two stay
// loaded once used; OLE is held only while a job needs it (decoding one
// picture, a folder dialog), so the greeting's JPEG skin does not keep it.
#include "platform/win32/win_internal.h"

#include <commdlg.h>
#include <mmsystem.h>
#include <ole2.h>
#include <olectl.h>

namespace q::win32::lib {

namespace {

// One library and its entry points, looked up once it is loaded.
class Module {
public:
    explicit Module(const wchar_t* name) : name_(name) {}
    bool loaded() const { return handle_ != nullptr; }
    template <class F>
    F get(const char* proc) {
        if (!handle_) handle_ = LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!handle_) handle_ = LoadLibraryW(name_);  // systems without the search flag
        return handle_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(handle_, proc))) : nullptr;
    }
    void free() {
        if (handle_) FreeLibrary(handle_);
        handle_ = nullptr;
    }

private:
    const wchar_t* name_;
    HMODULE handle_ = nullptr;
};

Module& comdlg32() {
    static Module m(L"comdlg32.dll");
    return m;
}
Module& winmm() {
    static Module m(L"winmm.dll");
    return m;
}
Module& ole32() {
    static Module m(L"ole32.dll");
    return m;
}
Module& oleaut32() {
    static Module m(L"oleaut32.dll");
    return m;
}

int g_ole_users = 0;
bool g_com = false;  // our CoInitialize succeeded and is to be balanced

}  // namespace

BOOL open_file_name(OPENFILENAMEW* ofn, bool save) {
    using F = BOOL(WINAPI*)(OPENFILENAMEW*);
    F f = comdlg32().get<F>(save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    return f ? f(ofn) : FALSE;
}

BOOL choose_font(CHOOSEFONTW* cf) {
    using F = BOOL(WINAPI*)(CHOOSEFONTW*);
    F f = comdlg32().get<F>("ChooseFontW");
    return f ? f(cf) : FALSE;
}

BOOL choose_color(CHOOSECOLORW* cc) {
    using F = BOOL(WINAPI*)(CHOOSECOLORW*);
    F f = comdlg32().get<F>("ChooseColorW");
    return f ? f(cc) : FALSE;
}

BOOL play_sound(LPCWSTR sound, DWORD flags) {
    // Stopping needs no library that never played anything.
    if (!sound && !winmm().loaded()) return TRUE;
    using F = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    F f = winmm().get<F>("PlaySoundW");
    return f ? f(sound, nullptr, flags) : FALSE;
}

DWORD mci_send_string(const wchar_t* command, bool load) {
    if (!load && !winmm().loaded()) return 0;
    using F = MCIERROR(WINAPI*)(LPCWSTR, LPWSTR, UINT, HWND);
    F f = winmm().get<F>("mciSendStringW");
    return f ? f(command, nullptr, 0, nullptr) : MCIERR_INTERNAL;
}

Ole::Ole() {
    if (g_ole_users++ > 0) return;
    using Init = HRESULT(WINAPI*)(LPVOID);
    Init init = ole32().get<Init>("CoInitialize");
    const HRESULT hr = init ? init(nullptr) : E_FAIL;
    g_com = SUCCEEDED(hr);
}

Ole::~Ole() {
    if (--g_ole_users > 0) return;
    if (g_com) {
        using Uninit = void(WINAPI*)();
        if (Uninit u = ole32().get<Uninit>("CoUninitialize")) u();
        g_com = false;
    }
    oleaut32().free();
    ole32().free();
}

bool Ole::ready() const { return ole32().loaded(); }

HRESULT Ole::stream_on(HGLOBAL mem, IStream** stream) {
    using F = HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**);
    F f = ole32().get<F>("CreateStreamOnHGlobal");
    return f ? f(mem, TRUE, stream) : E_FAIL;
}

HRESULT Ole::load_picture(IStream* stream, LONG size, IPicture** picture) {
    using F = HRESULT(WINAPI*)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);
    F f = oleaut32().get<F>("OleLoadPicture");
    return f ? f(stream, size, FALSE, IID_IPicture, reinterpret_cast<void**>(picture)) : E_FAIL;
}

}  // namespace q::win32::lib
