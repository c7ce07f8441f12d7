#include "platform/text.h"

#include <cstdint>
#include <cstring>
#include <vector>

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

namespace {

// Row (lead - 0x81) * 191 + (trail - 0x40); 0 where there is no character.
const std::uint16_t kCp936[126 * 191] = {
#include "platform/cp936_table.inc"
};
const unsigned kEuro = 0x20AC;  // the single byte 0x80 of code page 936

unsigned to_unit(unsigned char lead, unsigned char trail) {
    return trail >= 0x40 && trail <= 0xFE ? kCp936[(lead - 0x81) * 191 + (trail - 0x40)] : 0;
}

// Code unit -> lead byte << 8 | trail byte, 0 where CP936 has no character.
const std::vector<std::uint16_t>& from_unit() {
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> t(65536, 0);
        for (int lead = 0; lead < 126; ++lead)
            for (int trail = 0; trail < 191; ++trail)
                if (std::uint16_t u = kCp936[lead * 191 + trail])
                    t[u] = static_cast<std::uint16_t>(((lead + 0x81) << 8) | (trail + 0x40));
        return t;
    }();
    return table;
}

// The code unit of an escape at i, or -1 when there is none.
long escape_at(std::string_view s, std::size_t i) {
    if (static_cast<unsigned char>(s[i]) != 0xFF || s.size() - i < 5) return -1;
    long u = 0;
    for (std::size_t k = 1; k <= 4; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if (d < 0xA0 || d > 0xAF) return -1;
        u = (u << 4) | (d & 0xF);
    }
    return u;
}

}  // namespace

std::string cp936_from_utf16le(std::string_view bytes) {
    const auto& table = from_unit();
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned u = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u == kEuro) {
            out += static_cast<char>(0x80);
        } else if (table[u]) {
            out += static_cast<char>(table[u] >> 8);
            out += static_cast<char>(table[u] & 0xFF);
        } else {
            out += static_cast<char>(0xFF);
            for (int shift = 12; shift >= 0; shift -= 4) out += static_cast<char>(0xA0 | ((u >> shift) & 0xF));
        }
    }
    return out;
}

std::string utf16le_from_cp936(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    auto unit = [&](unsigned u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const long escaped = escape_at(s, i);
        if (c < 0x80) {
            unit(c);
            ++i;
        } else if (c == 0x80) {
            unit(kEuro);
            ++i;
        } else if (escaped >= 0) {
            unit(static_cast<unsigned>(escaped));
            i += 5;
        } else if (is_lead_byte(c) && i + 1 < s.size()) {
            const unsigned char trail = static_cast<unsigned char>(s[i + 1]);
            const unsigned u = to_unit(c, trail);
            unit(u ? u : '?');
            // A lead byte before a byte that cannot be a trail byte stands alone.
            i += trail >= 0x40 && trail <= 0xFE ? 2 : 1;
        } else {
            unit('?');
            ++i;
        }
    }
    return out;
}

std::string cp936_without_escapes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (escape_at(s, i) >= 0) {
            out += '?';
            i += 4;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string decimal(long long v) { return std::to_string(v); }

namespace {
// CP936 has CR and LF, so the UTF-16 escape never makes these two.
const char kCrEscape[] = "\xFF\xA0\xA0\xA0\xAD";
const char kLfEscape[] = "\xFF\xA0\xA0\xA0\xAA";
}  // namespace

std::string line_breaks_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            out += kCrEscape;
        else if (c == '\n')
            out += kLfEscape;
        else
            out += c;
    }
    return out;
}

std::string line_breaks_restored(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        // 0xFF is never a trail byte, so every one starts an escape or stands alone.
        const long u = escape_at(text, i);
        if (u == '\r' || u == '\n') {
            out += static_cast<char>(u);
            i += 5;
        } else {
            out += text[i++];
        }
    }
    return out;
}

}  // namespace q
