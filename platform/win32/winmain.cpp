// The entry point of quillet.exe.
#include "platform/win32/win_system.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/program.h"

// WinMain rather than wWinMain: the arguments are read as UTF-16 from
// GetCommandLineW, and mingw needs no -municode this way.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Shell dialogs and drag and drop need OLE on this thread. No DPI
    // awareness is declared: the program lays itself out in pixels.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);

    static q::win32::Win32System system;
    q::install_system(&system.system());
    q::install_ui_backend(&q::win32::ui());
    q::program_main();

    OleUninitialize();
    return 0;
}
