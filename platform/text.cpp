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
        if (j - i > 1) {
            // A double-byte character or an escape compares exactly, trail bytes included.
            if (a.compare(i, j - i, b, i, j - i) != 0) return false;
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

}  // namespace

std::string cp936_from_utf16(std::u16string_view units) {
    const auto& table = from_unit();
    // Sized first, then written through a pointer: texts of megabytes (the
    // note) pass here on every read.
    std::size_t size = 0;
    for (const char16_t u : units) size += u < 0x80 || u == kEuro ? 1 : table[u] ? 2 : kEscapeBytes;
    std::string out(size, '\0');
    char* o = &out[0];
    for (const char16_t unit : units) {
        const unsigned u = unit;
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
        } else if (u == kEuro) {
            *o++ = static_cast<char>(0x80);
        } else if (const unsigned pair = table[u]) {
            *o++ = static_cast<char>(pair >> 8);
            *o++ = static_cast<char>(pair & 0xFF);
        } else {
            *o++ = static_cast<char>(0xFF);
            for (int shift = 12; shift >= 0; shift -= 4) *o++ = static_cast<char>(0xA0 | ((u >> shift) & 0xF));
        }
    }
    return out;
}

std::u16string utf16_from_cp936(std::string_view s) {
    std::u16string out(s.size(), u'\0');
    char16_t* o = &out[0];
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            *o++ = c;
            ++i;
        } else if (c == 0x80) {
            *o++ = static_cast<char16_t>(kEuro);
            ++i;
        } else if (const long escaped = escape_at(s, i); escaped >= 0) {
            *o++ = static_cast<char16_t>(escaped);
            i += kEscapeBytes;
        } else if (is_lead_byte(c) && i + 1 < s.size()) {
            const unsigned char trail = static_cast<unsigned char>(s[i + 1]);
            const unsigned u = to_unit(c, trail);
            *o++ = static_cast<char16_t>(u ? u : '?');
            // A lead byte before a byte that cannot be a trail byte stands alone.
            i += trail >= 0x40 && trail <= 0xFE ? 2 : 1;
        } else {
            *o++ = u'?';
            ++i;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string cp936_from_utf16le(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return cp936_from_utf16(units);
}

std::string utf16le_from_cp936(std::string_view s) {
    const std::u16string units = utf16_from_cp936(s);
    std::string out;
    out.reserve(units.size() * 2);
    for (const char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string cp936_without_escapes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (escape_at(s, i) >= 0) {
            out += '?';
            i += kEscapeBytes - 1;
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
