// Bytes as an INI file's content, with names and a value taken from the input.
// Input: op byte, then section, key and value each ended by a 0 byte, then the content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "settings/ini.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace q;
namespace t = q::ini::text;

void check(bool ok) {
    if (!ok) std::abort();
}

using q::fuzz::take;

std::string trim_spaces(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool has_break(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

bool ends_in_lone_lead(const std::string& s) {
    std::size_t i = 0, last = std::string::npos;
    for (; i < s.size(); i = next_char(s, i)) last = i;
    return last != std::string::npos && next_char(s, last) - last == 1 && is_lead_byte(s[last]);
}

// Names that a written line reads back as themselves.
bool tidy_section(const std::string& s) {
    return !s.empty() && !has_break(s) && s.find(']') == std::string::npos && trim_blanks(s) == s &&
           !ends_in_lone_lead(s);
}
bool tidy_key(const std::string& k) {
    return !k.empty() && !has_break(k) && k.find('=') == std::string::npos && k[0] != '[' && k[0] != ';' &&
           trim_blanks(k) == k;
}

std::string expected_read(const std::string& value) {
    std::string v = trim_blanks(value);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    return v;
}

bool ascii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Section and key names that appear in the content, roughly; any names will do for comparisons.
std::vector<std::pair<std::string, std::string>> names_in(const std::string& content) {
    std::vector<std::string> sections, keys;
    std::size_t pos = 0;
    while (pos < content.size() && sections.size() + keys.size() < 40) {
        std::size_t e = content.find_first_of("\r\n", pos);
        if (e == std::string::npos) e = content.size();
        std::string line = trim_blanks(content.substr(pos, e - pos));
        if (!line.empty() && line[0] == '[') {
            std::size_t close = find_char(line, ']');
            sections.push_back(trim_blanks(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
        } else if (line.find('=') != std::string::npos) {
            keys.push_back(trim_blanks(line.substr(0, line.find('='))));
        }
        pos = e + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& s : sections)
        for (const auto& k : keys)
            if (pairs.size() < 200) pairs.emplace_back(s, k);
    return pairs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string in(reinterpret_cast<const char*>(data), size);
    const int op = static_cast<unsigned char>(in[0]) % 3;
    std::size_t pos = 1;
    const std::string section = take(in, pos), key = take(in, pos), value = take(in, pos);
    const std::string content = in.substr(pos);
    const std::string s = trim_spaces(section), k = trim_spaces(key);
    const bool utf16 = content.size() >= 2 && static_cast<unsigned char>(content[0]) == 0xFF &&
                       static_cast<unsigned char>(content[1]) == 0xFE;

    // A change that matches nothing gives back the very same bytes (UTF-16 included).
    check(t::delete_section(content, "\n") == content);
    check(t::delete_key(content, "\n", "k") == content);
    bool found = false;
    t::read(content, section, key, found);

    std::string after;
    if (op == 0) after = t::write(content, section, key, value);
    else if (op == 1) after = t::delete_key(content, section, key);
    else after = t::delete_section(content, section);

    const bool tidy = tidy_section(s) && tidy_key(k) && !has_break(value) && (!utf16 || (ascii(s + k + value)));
    if (s.empty() || (op != 2 && k.empty())) check(after == content);
    if (!tidy) return 0;

    if (op == 0) {
        check(t::read(after, section, key, found) == expected_read(value) && found);
        check(t::write(after, section, key, value) == after);  // writing again changes nothing
    }
    // Reads of every other section are as before.
    for (const auto& p : names_in(utf16 ? std::string() : content)) {
        if (p.first.empty() || p.second.empty() || equal_no_case(trim_spaces(p.first), s)) continue;
        bool f1 = false, f2 = false;
        std::string v1 = t::read(content, p.first, p.second, f1), v2 = t::read(after, p.first, p.second, f2);
        check(f1 == f2 && v1 == v2);
    }
    return 0;
}
