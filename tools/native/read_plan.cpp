// Prints the records of a plan.edb, one a line, the five fields joined by
// "|", in CP936 as stored (the end-to-end checks convert them).
//
//   read_plan FILE.edb
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "reminders/table.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.edb\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    q::table::Table t;
    if (q::table::decode(bytes, t) != q::table::Decode::Ok) {
        std::fprintf(stderr, "%s is not a record table\n", argv[1]);
        return 1;
    }
    for (const auto& record : t.records) {
        std::string line;
        for (std::size_t f = 0; f < record.size(); ++f) line += (f ? "|" : "") + record[f];
        std::printf("%s\n", line.c_str());
    }
    return 0;
}
