// The entry point of quillet.exe.
#include "platform/win32/win_system.h"

#include "platform/entry.h"

// WinMain rather than wWinMain: the arguments are read as UTF-16 from
// GetCommandLineW, and mingw needs no -municode this way.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    q::win32::start_backends();
    q::program_main();
    return 0;
}
