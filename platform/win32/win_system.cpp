// Text conversion, files, clock, timers, process, registry and shell.
#include "platform/win32/win_system.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>

#include "platform/text.h"

namespace q {

std::string_view resource_bytes(Res id) {
    HINSTANCE inst = win32::instance();
    HRSRC r = FindResourceW(inst, MAKEINTRESOURCEW(static_cast<int>(id)), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!r) return {};
    HGLOBAL g = LoadResource(inst, r);
    const void* p = g ? LockResource(g) : nullptr;
    if (!p) return {};
    return {static_cast<const char*>(p), SizeofResource(inst, r)};
}

}  // namespace q

namespace q::win32 {

namespace {

Win32System* g_current = nullptr;

std::wstring folder_of(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

HKEY root_of(Hive hive) { return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// "SOFTWARE\...\Run\" is written with a trailing "\", which the registry refuses.
std::wstring key_path(const std::string& key) {
    std::wstring k = widen(key);
    while (!k.empty() && k.back() == L'\\') k.pop_back();
    return k;
}

std::wstring module_path() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

// Our own tables, not the system's code page 936: a unit CP936 lacks keeps
// its escape both ways, so a name Windows gives comes back to it exact.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring widen(const std::string& s) {
    const std::u16string u = utf16_from_cp936(s);
    return std::wstring(u.begin(), u.end());
}

std::string narrow(const std::wstring& w) {
    return cp936_from_utf16(std::u16string(w.begin(), w.end()));
}

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

bool service_message(Window& w, HWND h, UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    Win32System* s = Win32System::current();
    if (!s || !s->handle_service_message(w, h, msg, lp)) return false;
    result = 0;
    return true;
}

Win32System::Win32System()
    : system_{*this, *this, *this, *this, *this, *this, *this, *this, *this} {
    g_current = this;
    seed_random_from_clock();
}

Win32System::~Win32System() {
    for (auto& t : timers_) KillTimer(nullptr, t.second.win_id);
    if (defer_hwnd_) DestroyWindow(defer_hwnd_);
    if (menu_hwnd_) DestroyWindow(menu_hwnd_);
    if (g_current == this) g_current = nullptr;
}

Win32System* Win32System::current() { return g_current; }

// ---- files -------------------------------------------------------------------

bool Win32System::exists(const std::string& path) {
    const DWORD a = GetFileAttributesW(widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32System::folder_exists(const std::string& path) {
    const DWORD a = GetFileAttributesW(widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// A disk file opened for reading with every sharing mode, so that a file
// another program holds open still reads; folders and devices are refused
// (a pipe or a console could block a read).
HANDLE open_disk_file(const std::string& path) {
    HANDLE f = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return f;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(f) != FILE_TYPE_DISK || !GetFileInformationByHandle(f, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(f);
        return INVALID_HANDLE_VALUE;
    }
    return f;
}

std::optional<std::uint64_t> size_of(HANDLE f) {
    LARGE_INTEGER n{};
    if (!GetFileSizeEx(f, &n) || n.QuadPart < 0) return std::nullopt;
    return static_cast<std::uint64_t>(n.QuadPart);
}

// Sizes data to n bytes; false when memory (or a string's limit) refuses.
bool make_room(std::string& data, std::uint64_t n) {
    try {
        data.resize(static_cast<std::size_t>(n));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

// Fills data from f's position, a megabyte at a time; data is cut to what
// came when the file shrank meanwhile.
bool read_into(HANDLE f, std::string& data) {
    std::size_t got = 0;
    while (got < data.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - got, 1u << 20));
        if (!ReadFile(f, data.data() + got, want, &n, nullptr)) return false;
        if (n == 0) break;
        got += n;
    }
    data.resize(got);
    return true;
}

}  // namespace

bool Win32System::read(const std::string& path, std::string& out) {
    // The largest picture the decoder takes (a BMP of 130 MP on 64-bit)
    // comes under this; a bigger file is not ours.
    constexpr std::uint64_t kMaxBytes = (sizeof(void*) >= 8 ? 512ULL : 256ULL) << 20;
    HANDLE f = open_disk_file(path);
    if (f == INVALID_HANDLE_VALUE) return false;
    const std::optional<std::uint64_t> size = size_of(f);
    std::string data;
    const bool ok = size && *size <= kMaxBytes && make_room(data, *size) && read_into(f, data);
    CloseHandle(f);
    if (!ok) return false;
    out = std::move(data);
    return true;
}

std::optional<std::uint64_t> Win32System::size(const std::string& path) {
    HANDLE f = open_disk_file(path);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<std::uint64_t> n = size_of(f);
    CloseHandle(f);
    return n;
}

bool Win32System::read_part(const std::string& path, std::uint64_t offset, std::size_t length, std::string& out) {
    HANDLE f = open_disk_file(path);
    if (f == INVALID_HANDLE_VALUE) return false;
    const std::optional<std::uint64_t> size = size_of(f);
    bool ok = size.has_value();
    std::string data;
    if (ok && offset < *size) {
        // offset is below the size here, so it fits the signed seek.
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        ok = make_room(data, std::min<std::uint64_t>(length, *size - offset)) &&
             SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && read_into(f, data);
    }
    CloseHandle(f);
    if (!ok) return false;
    out = std::move(data);
    return true;
}

bool Win32System::replace(const std::string& path, const std::string& data, Flush flush) {
    return replace_pieces(path, [&](const Put& put) { put(data); }, flush);
}

bool Win32System::replace_pieces(const std::string& path, const std::function<void(const Put&)>& write,
                                 Flush flush) {
    const std::wstring target = widen(path);
    const std::wstring dir = folder_of(target);
    static unsigned counter = 0;
    std::wstring temp;
    HANDLE f = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && f == INVALID_HANDLE_VALUE; ++attempt) {
        temp = dir + L"~q" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter) + L".tmp";
        f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;  // missing folder, no rights: nothing was touched
    }
    if (f == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    const auto write_out = [&](std::string_view bytes) {
        while (ok && !bytes.empty()) {
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            ok = WriteFile(f, bytes.data(), want, &n, nullptr) && n == want;
            bytes.remove_prefix(n);
        }
    };
    // Small pieces are gathered, large ones written as they are.
    constexpr std::size_t kGather = 256 * 1024;
    std::string gathered;
    write([&](std::string_view piece) {
        if (gathered.size() + piece.size() > kGather) {
            write_out(gathered);
            gathered.clear();
        }
        if (piece.size() >= kGather) {
            write_out(piece);
        } else {
            gathered.reserve(kGather);
            gathered.append(piece);
        }
    });
    write_out(gathered);
    if (flush == Flush::Yes) ok = ok && FlushFileBuffers(f);
    ok = CloseHandle(f) && ok;
    const DWORD how = MOVEFILE_REPLACE_EXISTING | (flush == Flush::Yes ? MOVEFILE_WRITE_THROUGH : 0);
    ok = ok && MoveFileExW(temp.c_str(), target.c_str(), how);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

bool Win32System::rename(const std::string& from, const std::string& to) {
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_COPY_ALLOWED);
}

namespace {

// A volume asked on a thread of its own: a server that does not answer costs
// the caller a moment, not the network's time-out. The last of the two to
// let go deletes it.
struct VolumeProbe {
    std::wstring root;
    LONG refs = 2;
    BOOL ready = FALSE;
};

DWORD WINAPI probe_volume(void* arg) {
    auto* p = static_cast<VolumeProbe*>(arg);
    p->ready = GetVolumeInformationW(p->root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    if (InterlockedDecrement(&p->refs) == 0) delete p;
    return 0;
}

}  // namespace

bool Win32System::volume_ready(const std::string& path) {
    const std::wstring p = widen(path);
    std::wstring root;
    if (p.size() >= 2 && p[1] == L':') {
        root = p.substr(0, 2) + L"\\";
        const UINT type = GetDriveTypeW(root.c_str());
        if (type == DRIVE_NO_ROOT_DIR) return false;
        if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) return true;
    } else if (p.compare(0, 2, L"\\\\") == 0) {
        // \\server\share\ is the root of a path on a share.
        const std::size_t server_end = p.find(L'\\', 2);
        if (server_end == std::wstring::npos) return true;
        const std::size_t share_end = p.find(L'\\', server_end + 1);
        root = p.substr(0, share_end) + L"\\";
    } else {
        return true;
    }
    auto* probe = new VolumeProbe{root};
    HANDLE t = CreateThread(nullptr, 0, probe_volume, probe, 0, nullptr);
    if (!t) {
        delete probe;
        return true;  // cannot tell: the open itself will say
    }
    const bool answered = WaitForSingleObject(t, 1500) == WAIT_OBJECT_0;
    CloseHandle(t);
    const bool ready = answered && probe->ready;
    if (InterlockedDecrement(&probe->refs) == 0) delete probe;
    return ready;
}

bool Win32System::remove(const std::string& path) { return DeleteFileW(widen(path).c_str()); }

bool Win32System::create_folder(const std::string& path) { return CreateDirectoryW(widen(path).c_str(), nullptr); }

std::vector<FileSystem::Entry> Win32System::enumerate(const std::string& pattern) {
    std::vector<Entry> out;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(widen(pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD a = fd.dwFileAttributes;
        constexpr DWORD kSystemHidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        out.push_back({narrow(name), (a & FILE_ATTRIBUTE_DIRECTORY) != 0, (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                       (a & kSystemHidden) == kSystemHidden});
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return out;
}

std::string Win32System::current_directory() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring buf(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, buf.data());
    buf.resize(got < n ? got : 0);
    return narrow(buf);
}

bool Win32System::set_current_directory(const std::string& path) {
    return SetCurrentDirectoryW(widen(path).c_str()) != FALSE;
}

bool Win32System::set_hidden(const std::string& path) {
    const std::wstring p = widen(path);
    const DWORD a = GetFileAttributesW(p.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    return SetFileAttributesW(p.c_str(), (a & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_HIDDEN);
}

// ---- clock and timers -----------------------------------------------------------

DateTime Win32System::now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::uint64_t Win32System::ticks_ms() { return GetTickCount64(); }

void Win32System::sleep_ms(int ms) { Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0); }

int Win32System::start(int interval_ms, std::function<void()> tick) {
    const UINT_PTR win_id = SetTimer(nullptr, 0, static_cast<UINT>(std::max(interval_ms, 1)), &timer_proc);
    if (!win_id) return 0;
    const int id = next_timer_++;
    timers_[id] = {win_id, std::make_shared<std::function<void()>>(std::move(tick))};
    return id;
}

void Win32System::stop(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    KillTimer(nullptr, it->second.win_id);
    timers_.erase(it);
}

void CALLBACK Win32System::timer_proc(HWND, UINT, UINT_PTR win_id, DWORD) {
    Win32System* s = g_current;
    if (!s) return;
    // The callback may stop any timer, itself included: hold it while it runs.
    std::shared_ptr<std::function<void()>> tick;
    for (auto& t : s->timers_)
        if (t.second.win_id == win_id) tick = t.second.tick;
    if (tick && *tick) (*tick)();
}

// ---- process ---------------------------------------------------------------------

std::string Win32System::program_dir() {
    const std::wstring p = module_path();
    const auto slash = p.find_last_of(L'\\');
    return narrow(slash == std::wstring::npos ? std::wstring() : p.substr(0, slash));
}

std::string Win32System::program_file_name() {
    const std::wstring p = module_path();
    const auto slash = p.find_last_of(L'\\');
    return narrow(slash == std::wstring::npos ? p : p.substr(slash + 1));
}

std::vector<std::string> Win32System::arguments() {
    std::vector<std::string> out;
    int n = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!argv) return out;
    for (int i = 1; i < n; ++i) out.push_back(narrow(argv[i]));
    LocalFree(argv);
    return out;
}

MutexState Win32System::acquire_mutex(const std::string& name) {
    HANDLE h = CreateMutexW(nullptr, FALSE, widen(name).c_str());
    if (!h) return MutexState::Failed;
    // An owned handle stays open (never closed) for the life of the process.
    switch (WaitForSingleObject(h, 0)) {
    case WAIT_OBJECT_0: return MutexState::Acquired;
    case WAIT_ABANDONED: return MutexState::Abandoned;
    case WAIT_TIMEOUT: CloseHandle(h); return MutexState::Busy;
    default: CloseHandle(h); return MutexState::Failed;
    }
}

void Win32System::end_process(int code) { ExitProcess(static_cast<UINT>(code)); }

void Win32System::seed_random_from_clock() {
    LARGE_INTEGER pc{};
    QueryPerformanceCounter(&pc);
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<unsigned>(pc.QuadPart), static_cast<unsigned>(pc.QuadPart >> 32),
                      static_cast<unsigned>(wall), static_cast<unsigned>(GetTickCount64())};
    random_.seed(seq);
}

int Win32System::random_int(int lo, int hi) {
    if (lo > hi) std::swap(lo, hi);
    return std::uniform_int_distribution<int>(lo, hi)(random_);
}

void Win32System::version(DWORD& major, DWORD& minor) {
    const OsVersion v = os_version();
    major = static_cast<DWORD>(v.major);
    minor = static_cast<DWORD>(v.minor);
}

int Win32System::os_class() {
    DWORD major = 0, minor = 0;
    version(major, minor);
    if (major == 4) return minor <= 10 ? 0 : 1;
    if (major == 5 && minor == 0) return 2;
    if (major == 5 && minor == 1) return 3;
    return 5;
}

bool Win32System::has_layered_windows() {
    DWORD major = 0, minor = 0;
    version(major, minor);
    return major >= 5;
}

Process::OsVersion Win32System::os_version() {
    // GetVersionEx reports what the manifest allows; RtlGetVersion tells the truth.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    auto fn = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!fn || fn(&v) != 0) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        GetVersionExW(&v);
#pragma GCC diagnostic pop
    }
    return {static_cast<int>(v.dwMajorVersion), static_cast<int>(v.dwMinorVersion), static_cast<int>(v.dwBuildNumber),
            static_cast<int>(v.dwPlatformId)};
}

// ---- registry ----------------------------------------------------------------------

bool Win32System::value_exists(Hive hive, const std::string& key, const std::string& name) {
    HKEY k;
    if (RegOpenKeyExW(root_of(hive), key_path(key).c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
    const bool found = RegQueryValueExW(k, widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(k);
    return found;
}

std::optional<std::string> Win32System::read_string(Hive hive, const std::string& key, const std::string& name) {
    HKEY k;
    if (RegOpenKeyExW(root_of(hive), key_path(key).c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring n = widen(name);
    std::optional<std::string> out;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(k, n.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::wstring buf(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        if (RegQueryValueExW(k, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes) ==
            ERROR_SUCCESS) {
            buf.resize(std::min<std::size_t>(bytes / sizeof(wchar_t), buf.size()));
            const auto end = buf.find(L'\0');
            if (end != std::wstring::npos) buf.resize(end);
            out = narrow(buf);
        }
    }
    RegCloseKey(k);
    return out;
}

bool Win32System::write_string(Hive hive, const std::string& key, const std::string& name, const std::string& data) {
    HKEY k;
    if (RegCreateKeyExW(root_of(hive), key_path(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const std::wstring d = widen(data);
    const bool ok = RegSetValueExW(k, widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(d.c_str()),
                                   static_cast<DWORD>((d.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

bool Win32System::delete_value(Hive hive, const std::string& key, const std::string& name) {
    HKEY k;
    if (RegOpenKeyExW(root_of(hive), key_path(key).c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return false;
    const bool ok = RegDeleteValueW(k, widen(name).c_str()) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

// ---- shell ----------------------------------------------------------------------------

bool Win32System::start_program(const std::string& path, const std::string& args) {
    std::wstring program = widen(path);
    if (program.empty()) return false;
    if (program.find_first_of(L"\\/:") == std::wstring::npos) {
        // A bare name ("notepad.exe"): CreateProcess would look only in the
        // current directory when given an application name.
        wchar_t found[MAX_PATH];
        const DWORD n = SearchPathW(nullptr, program.c_str(), L".exe", MAX_PATH, found, nullptr);
        if (n > 0 && n < MAX_PATH) program = found;
    }
    std::wstring command = L"\"" + program + L"\"";
    if (!args.empty()) command += L" " + widen(args);
    std::wstring dir = folder_of(program);
    if (dir.size() > 3 && dir.back() == L'\\') dir.pop_back();  // "C:\" keeps its "\"
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool Win32System::open_path(const std::string& path, const std::string& working_folder) {
    const std::wstring folder = widen(working_folder);
    const auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", widen(path).c_str(), nullptr,
                                                           folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
    return r > 32;
}

bool Win32System::show_properties(const std::string& path) {
    const std::wstring p = widen(path);
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_INVOKEIDLIST;
    sei.lpVerb = L"properties";
    sei.lpFile = p.c_str();
    sei.nShow = SW_SHOW;
    return ShellExecuteExW(&sei);
}

bool Win32System::end_session(EndSession how) {
    HANDLE token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES tp{};
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    UINT flags = EWX_FORCE;
    switch (how) {
    case EndSession::ShutDown: flags |= EWX_SHUTDOWN | EWX_POWEROFF; break;
    case EndSession::LogOff: flags |= EWX_LOGOFF; break;
    case EndSession::Restart: flags |= EWX_REBOOT; break;
    }
    return ExitWindowsEx(flags, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

std::string Win32System::system_directory() {
    wchar_t buf[MAX_PATH];
    const UINT n = GetSystemDirectoryW(buf, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return narrow(std::wstring(buf, n)) + "\\";
}

}  // namespace q::win32

// ---- start and end of the backends -------------------------------------------

namespace q::win32 {

namespace {

// The style manifest the settings page writes beside the exe (its file name +
// ".manifest") switches Windows' own control style on. Windows reads such a
// file by itself only for an exe without an embedded manifest, and ours
// embeds one for DPI awareness: the file is activated here instead, before
// any common control is made, and held for the life of the process. As
// Windows did, whenever the file is there; the style switch decides only
// whether the program's own look draws over it.
void activate_style_manifest() {
    const std::wstring manifest = module_path() + L".manifest";
    const DWORD attributes = GetFileAttributesW(manifest.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    ACTCTXW ctx{};
    ctx.cbSize = sizeof ctx;
    ctx.lpSource = manifest.c_str();
    HANDLE context = CreateActCtxW(&ctx);
    if (context == INVALID_HANDLE_VALUE) return;
    ULONG_PTR cookie = 0;
    if (!ActivateActCtx(context, &cookie)) ReleaseActCtx(context);
}

}  // namespace

void start_backends() {
    // OLE is brought in by the jobs that need it (win_libs.cpp). The layout
    // is in design pixels; the UI backend scales it to the screen's DPI.
    declare_dpi_aware();
    activate_style_manifest();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    // A drive without its disk fails quietly instead of asking for the disk.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    static Win32System system;
    install_system(&system.system());
    install_ui_backend(&ui());
}

}  // namespace q::win32
