// Work of the reminder subsystem on the simulated system, for the benchmark
// script (run under callgrind; the script subtracts a run of 0 iterations).
//
//   bench_tick tick N   N scheduler ticks over a table of 50 reminders
//   bench_tick ini N    N reads of one key of set.ini (the baseline of a tick)
//   bench_tick save N   N saves of a list of 1,000 reminders
//   bench_tick write N  N atomic writes of the same bytes as that table
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/sim/sim_system.h"
#include "platform/text.h"
#include "reminders/reminders.h"
#include "reminders/store.h"
#include "reminders/table.h"
#include "settings/settings_file.h"

using namespace q;

namespace {

// A set.ini of the size a used program has: every section, about 1.2 KB.
std::string sample_ini() {
    std::string s =
        "[set]\r\nrun=T\r\nstyle=F\r\ntray=2\r\ntransparance=180\r\nchange=T\r\nplay=F\r\n"
        "[mesg]\r\nshow=T\r\ntitle=主人，您好！\r\nmesg=Quillet在此等候您的指示！\r\ndate=T\r\n"
        "[change]\r\nmodel=1\r\ntime=10\r\n[play]\r\nmodel=0\r\npath=D:\\音乐\\歌曲.mp3\r\nreplay=F\r\n"
        "[acprg]\r\ntotal=3\r\nfollow=F\r\ntrans=T\r\ntransvalue=200\r\n"
        "[desktext]\r\nleft=800\r\ntop=20\r\ntransparance=200\r\ncolor=16777215\r\n";
    for (int i = 1; i <= 8; ++i) s += "grpname" + decimal(i) + "=分组" + decimal(i) + "\r\n";
    s += "[plan]\r\nmin=T\r\ndelay=10\r\nautodel=T\r\ncolor=0\r\nsound=1\r\ntime=T\r\n";
    while (s.size() < 1200) s += "; padding line of the kind a hand-edited file has\r\n";
    return s;
}

ListView& list_of(int rows) {
    static ListView list(nullptr, {}, reminders::list_columns());
    list.clear();
    for (int i = 0; i < rows; ++i) {
        const int r = list.append_row();
        list.set_cell(r, 0, time_of_day_text(i % 24, i % 60));
        list.set_cell(r, 1, "每日提醒");
        list.set_cell(r, 2, "无");
        list.set_cell(r, 3, "第" + decimal(i) + "条提醒：按时吃药，喝水，休息一下眼睛");
        list.set_cell(r, 4, "C:\\Program Files\\工具\\backup" + decimal(i) + ".exe");
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s tick|ini|save|write N\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const long n = std::atol(argv[2]);
    sim::SimSystem sim;
    sim.put_file(settings_path(), sample_ini());
    // Late evening: every reminder of the day has passed, so each tick searches.
    sim.set_now({2026, 12, 8, 23, 30, 1});
    reminders::Reminders rem;
    long sink = 0;
    if (mode == "tick") {
        if (!reminders::save_reminder_list(rem.table(), list_of(50))) return 1;
        for (long i = 0; i < n; ++i) {
            rem.tick();
            sim.advance(1000);
        }
        sink = rem.record_count();
    } else if (mode == "ini") {
        for (long i = 0; i < n; ++i) {
            sink += static_cast<long>(setting("plan", "time").size());
            sim.advance(1000);
        }
    } else if (mode == "save" || mode == "write") {
        ListView& list = list_of(1000);
        if (!reminders::save_reminder_list(rem.table(), list)) return 1;
        const std::string bytes = *sim.file(reminders::plan_path());
        for (long i = 0; i < n; ++i) {
            if (mode == "save")
                reminders::save_reminder_list(rem.table(), list);
            else
                sim.replace(reminders::plan_path(), bytes);
        }
        sink = static_cast<long>(bytes.size());
    } else {
        return 2;
    }
    std::printf("%s %ld: %ld\n", mode.c_str(), n, sink);
    return 0;
}
