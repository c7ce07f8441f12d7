// Settings write benchmark under Wine: 200 single writes of the note's place
// to set.ini through the INI layer, on real files, each flushed to the disk
// and then without the flush, as a 200-step note drag makes them.
//   bench_flush.exe [FOLDER]   (default: the current folder)
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/system.h"
#include "platform/win32/win_system.h"
#include "settings/ini.h"

namespace {

double run(const std::string& file, q::FileSystem::Flush flush) {
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    for (int step = 0; step < 200; ++step) {
        std::string content;
        q::sys().files.read(file, content);
        content = q::ini::text::write(content, "desktext", "left", std::to_string(300 + step));
        if (!q::sys().files.replace(file, content, flush)) return -1;
    }
    QueryPerformanceCounter(&t1);
    return 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    q::win32::start_backends();
    const std::string folder = argc > 1 ? argv[1] : ".";
    const std::string file = folder + "\\set.ini";
    q::sys().files.replace(file, "[set]\r\nrun=T\r\ntray=0\r\n[desktext]\r\nleft=300\r\ntop=200\r\n");
    const double flushed = run(file, q::FileSystem::Flush::Yes);
    const double lazy = run(file, q::FileSystem::Flush::No);
    // Through the INI layer, with the flush set.ini's writers choose.
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    for (int step = 0; step < 200; ++step)
        q::ini::write(file, "desktext", "left", std::to_string(300 + step), q::FileSystem::Flush::No);
    QueryPerformanceCounter(&t1);
    const double layer = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
    std::printf("200 set.ini writes: flushed %.1f ms, unflushed %.1f ms, through ini::write %.1f ms\n", flushed,
                lazy, layer);
    return flushed < 0 || lazy < 0;
}
