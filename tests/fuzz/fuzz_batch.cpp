// A batch of changes gives the same file as the single calls in the same order.
// Input: a count byte, then per change a kind byte and section, key and value
// each ended by a 0 byte; what is left is the file's starting content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sim/sim_system.h"
#include "settings/ini.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

namespace t = q::ini::text;
using q::fuzz::take;

struct Change {
    int kind;
    std::string section, key, value;
};

// Bytes as a few symbols, so that names meet, repeat and differ only by case
// often enough for the index of sections and keys to be exercised.
std::string symbols(const std::string& s) {
    static const char* const kSymbols[] = {"a", "A", "b", "=", "[", "]", ";", " ", "\r\n", "\n", "\r", "\x81\x5d", "\x81", "k", "K", "x"};
    std::string out;
    for (char c : s) out += kSymbols[static_cast<unsigned char>(c) % 16];
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string in(reinterpret_cast<const char*>(data), size);
    const int count = 1 + static_cast<unsigned char>(in[0]) % 32;
    const bool few_symbols = static_cast<unsigned char>(in[0]) & 0x80;
    auto text = [&](std::string s) { return few_symbols ? symbols(s) : s; };
    std::size_t pos = 1;
    std::vector<Change> changes;
    for (int i = 0; i < count && pos < in.size(); ++i) {
        const int kind = static_cast<unsigned char>(in[pos++]) % 3;
        std::string section = take(in, pos), key = take(in, pos), value = take(in, pos);
        changes.push_back(Change{kind, text(section), text(key), text(value)});
    }
    const std::string start = text(in.substr(pos));

    std::string expected = start;
    for (const Change& c : changes) {
        if (c.kind == 0) expected = t::write(expected, c.section, c.key, c.value);
        else if (c.kind == 1) expected = t::delete_key(expected, c.section, c.key);
        else expected = t::delete_section(expected, c.section);
    }

    q::sim::SimSystem sim;
    sim.make_folder("C:\\f");
    const std::string file = "C:\\f\\a.ini";
    if (!start.empty()) sim.put_file(file, start);
    q::ini::Batch batch(file, q::FileSystem::Flush::Yes);
    for (const Change& c : changes) {
        if (c.kind == 0) batch.write(c.section, c.key, c.value);
        else if (c.kind == 1) batch.delete_key(c.section, c.key);
        else batch.delete_section(c.section);
    }
    if (!batch.commit()) std::abort();
    const std::string got = sim.file(file).value_or("");
    if (got != expected) std::abort();
    return 0;
}
