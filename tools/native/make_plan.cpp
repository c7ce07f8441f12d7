// Writes a plan.edb holding the reminders given on the command line, through
// the program's own table encoder (no simulated system needed).
//
//   make_plan OUT.edb [TIME KIND DAY CONTENT RUN]...
//
// Arguments are UTF-8 and are stored as CP936; KIND is one of the four kind
// words, DAY "无", "周1".."周6", "周日" or "1日".."31日", RUN a task word or a path.
#include <iconv.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "reminders/store.h"
#include "reminders/table.h"

namespace {

bool to_cp936(const std::string& utf8, std::string& out) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in = utf8;
    out.assign(in.size() * 2 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t left = in.size(), room = out.size();
    const std::size_t r = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) return false;
    out.resize(out.size() - room);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (argc - 2) % 5 != 0) {
        std::fprintf(stderr, "usage: %s OUT.edb [TIME KIND DAY CONTENT RUN]...\n", argv[0]);
        return 2;
    }
    q::table::Table t;
    t.fields = q::reminders::plan_fields();
    std::array<std::uint8_t, 16> salt{};
    std::mt19937 gen(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (auto& b : salt) b = static_cast<std::uint8_t>(gen());
    q::table::protect(t, salt, q::reminders::kPassword);
    for (int i = 2; i < argc; i += 5) {
        q::table::append_record(t);
        for (int f = 0; f < 5; ++f) {
            std::string text;
            if (!to_cp936(argv[i + f], text)) {
                std::fprintf(stderr, "not convertible to CP936: %s\n", argv[i + f]);
                return 1;
            }
            q::table::set_field(t, t.records.size() - 1, static_cast<std::size_t>(f), text);
        }
    }
    const std::string bytes = q::table::encode(t);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    std::printf("%s: %zu reminders, %zu bytes\n", argv[1], t.records.size(), bytes.size());
    return 0;
}
