// Message boxes, the common dialogs, the input box and pop-up menus.
#include "platform/win32/win_system.h"

#include <commdlg.h>
#include <shlobj.h>

namespace q::win32 {

namespace {

UINT icon_flag(Icon icon) {
    switch (icon) {
    case Icon::Information: return MB_ICONINFORMATION;
    case Icon::Warning: return MB_ICONWARNING;
    case Icon::Error: return MB_ICONERROR;
    case Icon::Question: return MB_ICONQUESTION;
    case Icon::None: break;
    }
    return 0;
}

// "desc|pattern|desc|pattern" -> "desc\0pattern\0desc\0pattern\0\0".
std::wstring filter_list(const std::string& filter) {
    std::wstring f = widen(filter);
    for (auto& c : f)
        if (c == L'|') c = L'\0';
    f.push_back(L'\0');
    f.push_back(L'\0');
    return f;
}

std::optional<std::string> file_dialog(HWND owner, const FileDialog& d, bool save) {
    const std::wstring title = widen(d.title), filter = filter_list(d.filter), ext = widen(d.default_ext);
    std::wstring name(32768, L'\0');
    const std::wstring initial = widen(d.initial_name);
    initial.copy(name.data(), std::min(initial.size(), name.size() - 1));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = d.filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!lib::open_file_name(&ofn, save)) return std::nullopt;
    return narrow(name.c_str());
}

// The owner's window, or none (a box of no window, or one not created).
HWND owner_hwnd(Window* owner) { return owner ? hwnd_of(*owner) : nullptr; }

int screen_dpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

// ---- input box: a dialog template built in memory --------------------------------

constexpr WORD kPromptId = 0xFFFF;  // the id of a message box's text, so one reader serves both
constexpr WORD kEditId = 101;

static_assert(sizeof(DLGTEMPLATE) == 18 && sizeof(DLGITEMTEMPLATE) == 18, "packed dialog templates");

class Template {
public:
    void align() {
        if (words_.size() % 2) words_.push_back(0);
    }
    void add(const void* p, std::size_t bytes) {
        const auto* w = static_cast<const WORD*>(p);
        words_.insert(words_.end(), w, w + bytes / sizeof(WORD));
    }
    void text(const wchar_t* s) {
        for (; *s; ++s) words_.push_back(static_cast<WORD>(*s));
        words_.push_back(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls, const wchar_t* caption) {
        align();
        DLGITEMTEMPLATE it{style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
        add(&it, sizeof it);
        words_.push_back(0xFFFF);  // predefined class by atom
        words_.push_back(cls);
        text(caption);
        words_.push_back(0);  // no creation data
        ++count_;
    }
    WORD count() const { return count_; }
    std::vector<WORD>& words() { return words_; }

private:
    std::vector<WORD> words_;
    WORD count_ = 0;
};

struct InputState {
    std::wstring prompt, title, text;
};

INT_PTR CALLBACK input_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* st = reinterpret_cast<InputState*>(lp);
        SetWindowLongPtrW(h, DWLP_USER, lp);
        SetWindowTextW(h, st->title.c_str());
        SetDlgItemTextW(h, kPromptId, st->prompt.c_str());
        SetDlgItemTextW(h, kEditId, st->text.c_str());
        SendDlgItemMessageW(h, kEditId, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(h, kEditId));
        SetForegroundWindow(h);
        return FALSE;  // focus set here
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            auto* st = reinterpret_cast<InputState*>(GetWindowLongPtrW(h, DWLP_USER));
            HWND edit = GetDlgItem(h, kEditId);
            std::wstring t(GetWindowTextLengthW(edit) + 1, L'\0');
            t.resize(GetWindowTextW(edit, t.data(), static_cast<int>(t.size())));
            st->text = t;
            EndDialog(h, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(h, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

Answer Win32System::message_box(Window* owner, const std::string& text, const std::string& title, Icon icon,
                                Buttons buttons, bool foreground) {
    const ModalStep step;
    UINT flags = icon_flag(icon);
    flags |= buttons == Buttons::OkCancel ? MB_OKCANCEL : buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
    if (foreground) flags |= MB_SETFOREGROUND;
    switch (MessageBoxW(owner_hwnd(owner), widen(text).c_str(), widen(title).c_str(), flags)) {
    case IDOK: return Answer::Ok;
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    case IDCANCEL: return Answer::Cancel;
    default: break;  // the box could not be shown
    }
    return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
}

std::optional<std::string> Win32System::open_file(Window* owner, const FileDialog& d) {
    const ModalStep step;
    return file_dialog(owner_hwnd(owner), d, false);
}

std::optional<std::string> Win32System::save_file(Window* owner, const FileDialog& d) {
    const ModalStep step;
    return file_dialog(owner_hwnd(owner), d, true);
}

std::optional<std::string> Win32System::browse_folder(Window* owner, const std::string& prompt) {
    const ModalStep step;
    const std::wstring p = widen(prompt);
    BROWSEINFOW bi{};
    bi.hwndOwner = owner_hwnd(owner);
    bi.lpszTitle = p.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    lib::Ole com;  // the shell's folder dialog runs on COM
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
    if (!pidl) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(pidl, path);
    ILFree(pidl);
    if (!ok) return std::nullopt;
    return narrow(path);
}

bool Win32System::choose_font(Window* owner, Font& font, Color& color) {
    const ModalStep step;
    const int dpi = screen_dpi();
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(font.points, dpi, 72);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strike;
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = widen(font.face);
    face.copy(lf.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner_hwnd(owner);
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    cf.rgbColors = color;
    if (!lib::choose_font(&cf)) return false;
    font.face = narrow(lf.lfFaceName);
    font.points = MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72, dpi);
    font.bold = lf.lfWeight >= FW_BOLD;
    font.italic = lf.lfItalic != 0;
    font.underline = lf.lfUnderline != 0;
    font.strike = lf.lfStrikeOut != 0;
    color = cf.rgbColors;
    return true;
}

std::optional<std::string> Win32System::input_box(Window* owner, const std::string& prompt,
                                                  const std::string& title, const std::string& initial) {
    const ModalStep step;
    Template t;
    DLGTEMPLATE head{DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 240, 82};
    t.add(&head, sizeof head);
    t.words().push_back(0);  // no menu
    t.words().push_back(0);  // the standard dialog class
    t.text(L"");             // title: set at WM_INITDIALOG
    t.words().push_back(9);
    t.text(L"MS Shell Dlg");
    t.item(SS_LEFT | SS_NOPREFIX, 7, 7, 170, 48, kPromptId, 0x0082, L"");
    t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 184, 7, 50, 14, IDOK, 0x0080, L"确定");
    t.item(BS_PUSHBUTTON | WS_TABSTOP, 184, 25, 50, 14, IDCANCEL, 0x0080, L"取消");
    t.item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 62, 226, 13, kEditId, 0x0081, L"");
    auto& w = t.words();
    reinterpret_cast<DLGTEMPLATE*>(w.data())->cdit = t.count();

    InputState st{widen(prompt), widen(title), widen(initial)};
    const INT_PTR r = DialogBoxIndirectParamW(instance(), reinterpret_cast<DLGTEMPLATE*>(w.data()), owner_hwnd(owner),
                                              &input_proc, reinterpret_cast<LPARAM>(&st));
    if (r != IDOK) return std::nullopt;
    return narrow(st.text);
}

int Win32System::popup_menu(const std::vector<std::string>& items, Point screen_pos, const std::vector<bool>& disabled) {
    const ModalStep step;
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const UINT grey = i < disabled.size() && disabled[i] ? MF_GRAYED : 0;
        if (items[i].empty()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else AppendMenuW(menu, MF_STRING | grey, i + 1, widen(items[i]).c_str());
    }
    // The menu closes on a click elsewhere only when its owner is in the foreground.
    HWND host = menu_window();
    SetForegroundWindow(host);
    const int cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen_pos.x,
                                   screen_pos.y, 0, host, nullptr);
    PostMessageW(host, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return cmd > 0 ? cmd - 1 : -1;
}

void Win32System::beep() { MessageBeep(MB_OK); }

}  // namespace q::win32
