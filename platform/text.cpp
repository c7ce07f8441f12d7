#include "platform/text.h"

#include <cstring>

// Only ASCII literals here: this file is also built without -fexec-charset.

namespace q {

std::size_t find_char(const std::string& s, char c, std::size_t from) {
    // Walk from the start so that `from` inside a character cannot misalign the scan.
    std::size_t i = 0;
    while (i < from && i < s.size()) i = next_char(s, i);
    for (; i < s.size(); i = next_char(s, i))
        if (s[i] == c) return i;
    return std::string::npos;
}

std::size_t find_last_char(const std::string& s, char c) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < s.size(); i = next_char(s, i))
        if (s[i] == c) found = i;
    return found;
}

bool contains_char(const std::string& s, char c) { return find_char(s, c) != std::string::npos; }

std::size_t find_text(const std::string& s, const std::string& what, std::size_t from) {
    std::size_t i = 0;
    while (i < from && i < s.size()) i = next_char(s, i);
    if (what.empty()) return i <= s.size() ? i : std::string::npos;
    for (; i < s.size(); i = next_char(s, i))
        if (s.size() - i >= what.size() && std::memcmp(s.data() + i, what.data(), what.size()) == 0) {
            // The match must also end on a character boundary of s.
            std::size_t j = i;
            while (j < i + what.size()) j = next_char(s, j);
            if (j == i + what.size()) return i;
        }
    return std::string::npos;
}

std::string cut_bytes(const std::string& s, std::size_t n) {
    if (n >= s.size()) return s;
    std::size_t i = 0;
    while (i < n) {
        std::size_t j = next_char(s, i);
        if (j > n) break;
        i = j;
    }
    return s.substr(0, i);
}

namespace {
template <typename F>
std::string fold(std::string_view s, F f) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i = next_char(out, i)) out[i] = f(out[i]);
    return out;
}
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string ascii_lower(std::string_view s) { return fold(s, lower_ascii); }
std::string ascii_upper(std::string_view s) { return fold(s, upper); }

bool equal_no_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t j = next_char(a, i);
        if (j - i == 2) {
            // A double-byte character compares exactly, trail byte included.
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (lower_ascii(a[i]) != lower_ascii(b[i])) {
            return false;
        }
        i = j;
    }
    return true;
}

std::string_view trim_blanks_view(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string trim_blanks(const std::string& s) { return std::string(trim_blanks_view(s)); }

std::string path_file_name(const std::string& path) {
    std::size_t p = find_last_char(path, '\\');
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string path_directory(const std::string& path) {
    std::size_t p = find_last_char(path, '\\');
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string path_extension(const std::string& path) {
    std::string name = path_file_name(path);
    std::size_t p = find_last_char(name, '.');
    return p == std::string::npos ? std::string() : name.substr(p + 1);
}

std::string path_base_name(const std::string& path) {
    std::string name = path_file_name(path);
    std::size_t p = find_last_char(name, '.');
    return p == std::string::npos ? name : name.substr(0, p);
}

std::string decimal(long long v) { return std::to_string(v); }

}  // namespace q
