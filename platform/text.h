// CP936 byte-level text helpers. Every scan here steps over double-byte
// characters, so a trail byte 0x5C is never taken for a backslash.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace q {

// A CP936 lead byte is 0x81..0xFE; it and the following byte form one character.
inline bool is_lead_byte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// A UTF-16 code unit CP936 lacks is kept as an escape of 5 bytes: 0xFF, then
// one byte 0xA0..0xAF per hex digit, high digit first. 0xFF is never a CP936
// byte, so an escape cannot be mistaken for text (see cp936_from_utf16).
constexpr std::size_t kEscapeBytes = 5;

// The code unit of the escape at i, or -1 when there is none.
inline long escape_at(std::string_view s, std::size_t i) {
    if (i >= s.size() || static_cast<unsigned char>(s[i]) != 0xFF || s.size() - i < kEscapeBytes) return -1;
    long u = 0;
    for (std::size_t k = 1; k < kEscapeBytes; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if (d < 0xA0 || d > 0xAF) return -1;
        u = (u << 4) | (d & 0xF);
    }
    return u;
}

// Index of the character after the one starting at i (a lone lead byte at the
// end counts as one). An escape is one character, and so are the two escapes
// of a surrogate pair: a cut never leaves half an emoji.
inline std::size_t next_char(std::string_view s, std::size_t i) {
    if (i >= s.size()) return s.size();
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == 0xFF) {
        const long u = escape_at(s, i);
        if (u < 0) return i + 1;
        const long low = u >= 0xD800 && u <= 0xDBFF ? escape_at(s, i + kEscapeBytes) : -1;
        return i + (low >= 0xDC00 && low <= 0xDFFF ? 2 : 1) * kEscapeBytes;
    }
    if (is_lead_byte(c) && i + 1 < s.size()) return i + 2;
    return i + 1;
}

// Position of the first / last single-byte character c, or npos. c must be ASCII.
std::size_t find_char(const std::string& s, char c, std::size_t from = 0);
std::size_t find_last_char(const std::string& s, char c);
bool contains_char(const std::string& s, char c);
// Position of the first occurrence of a whole CP936 text (aligned to characters), or npos.
std::size_t find_text(const std::string& s, const std::string& what, std::size_t from = 0);

// The first n bytes of s, one byte fewer when byte n would split a double-byte character.
std::string cut_bytes(const std::string& s, std::size_t n);

// ASCII letters folded to lower / upper case; trail bytes are never folded.
inline char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string ascii_lower(std::string_view s);
std::string ascii_upper(std::string_view s);
bool equal_no_case(std::string_view a, std::string_view b);

// Blanks (space, TAB, VT) removed at both ends / the end.
inline bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v'; }
std::string_view trim_blanks_view(std::string_view s);
std::string trim_blanks(const std::string& s);

// The path splitter. file name: text after the last "\" (whole path when none);
// directory: the path without its file name, so it ends with "\" (empty when none);
// extension: text after the last "." of the file name (empty when none);
// base name: file name without its last "." and extension (empty when that "."
// is the file name's first character, as in ".profile").
std::string path_file_name(const std::string& path);
std::string path_directory(const std::string& path);
std::string path_extension(const std::string& path);
std::string path_base_name(const std::string& path);

// UTF-16 to CP936 and back, losslessly: a code unit CP936 lacks becomes an
// escape (above). No ASCII byte appears in one, so the path splitter and the
// INI splitter work on such a text as on any other. Names Windows gives cross
// the program this way; only the win32 backend turns them back into UTF-16.
std::string cp936_from_utf16(std::u16string_view units);
// A byte that is no CP936 character becomes "?", Windows' default character.
std::u16string utf16_from_cp936(std::string_view text);
// The same on UTF-16LE bytes (no byte-order mark), for files kept in UTF-16.
std::string cp936_from_utf16le(std::string_view bytes);
std::string utf16le_from_cp936(std::string_view text);
// The escapes shown as "?", as Windows gives a character CP936 lacks.
std::string cp936_without_escapes(std::string_view text);

// A text with line breaks as one profile value holds it: CR and LF become
// the escapes of their code units, which hold no line break and which no
// text read from a profile holds, so a value stored before reads unchanged.
std::string line_breaks_escaped(std::string_view text);
std::string line_breaks_restored(std::string_view text);

// Decimal text of an integer.
std::string decimal(long long v);

}  // namespace q
