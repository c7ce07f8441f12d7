#include "settings/ini.h"

#include <cstdint>
#include <deque>
#include <list>
#include <vector>
#include <unordered_map>
#include <utility>

#include "platform/system.h"
#include "platform/text.h"

// Only ASCII literals here: this file is also built without -fexec-charset
// for fuzzing.

namespace q::ini {

namespace {

// ---- encoding ---------------------------------------------------------------
// A file that starts with a UTF-16LE byte-order mark is handled as CP936 text
// in memory and written back as UTF-16LE. The conversion is lossless: a code
// unit without a CP936 character becomes an escape (0xFF then four bytes
// 0xA0..0xAF, one per hex digit) that no structural character can appear in,
// so lines a write does not touch come back byte for byte.

// Row (lead - 0x81) * 191 + (trail - 0x40).
const std::uint16_t kTable[126 * 191] = {
#include "settings/cp936_table.inc"
};
std::uint16_t table(unsigned lead, unsigned trail) { return kTable[(lead - 0x81) * 191 + (trail - 0x40)]; }

const std::vector<std::uint16_t>& reverse_table() {
    static const std::vector<std::uint16_t> rev = [] {
        std::vector<std::uint16_t> r(65536, 0);
        for (int lead = 0; lead < 126; ++lead)
            for (int trail = 0; trail < 191; ++trail)
                if (std::uint16_t u = kTable[lead * 191 + trail])
                    r[u] = static_cast<std::uint16_t>(((lead + 0x81) << 8) | (trail + 0x40));
        return r;
    }();
    return rev;
}

const unsigned kEuro = 0x20AC;  // the single byte 0x80 of code page 936

struct Decoded {
    std::string text;  // CP936
    bool utf16 = false;
    std::string tail;  // an odd last byte of a UTF-16 file, kept as it was
};

Decoded decode(const std::string& content) {
    Decoded d;
    if (content.size() < 2 || static_cast<unsigned char>(content[0]) != 0xFF ||
        static_cast<unsigned char>(content[1]) != 0xFE) {
        d.text = content;
        return d;
    }
    d.utf16 = true;
    const auto& rev = reverse_table();
    std::size_t n = content.size();
    if ((n - 2) % 2) {
        d.tail = content.substr(n - 1);
        --n;
    }
    d.text.reserve(n);
    for (std::size_t i = 2; i + 1 < n; i += 2) {
        unsigned u = static_cast<unsigned char>(content[i]) | (static_cast<unsigned char>(content[i + 1]) << 8);
        if (u < 0x80) {
            d.text += static_cast<char>(u);
        } else if (u == kEuro) {
            d.text += static_cast<char>(0x80);
        } else if (rev[u]) {
            d.text += static_cast<char>(rev[u] >> 8);
            d.text += static_cast<char>(rev[u] & 0xFF);
        } else {
            d.text += static_cast<char>(0xFF);
            for (int shift = 12; shift >= 0; shift -= 4) d.text += static_cast<char>(0xA0 | ((u >> shift) & 0xF));
        }
    }
    return d;
}

bool escape_digit(unsigned char c) { return c >= 0xA0 && c <= 0xAF; }

std::string encode_utf16(const std::string& s) {
    std::string out;
    out.reserve(s.size() * 2 + 2);
    out += static_cast<char>(0xFF);
    out += static_cast<char>(0xFE);
    auto unit = [&](unsigned u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            unit(c);
            ++i;
        } else if (c == 0x80) {
            unit(kEuro);
            ++i;
        } else if (c == 0xFF && i + 4 < n && escape_digit(s[i + 1]) && escape_digit(s[i + 2]) &&
                   escape_digit(s[i + 3]) && escape_digit(s[i + 4])) {
            unsigned u = 0;
            for (int k = 1; k <= 4; ++k) u = (u << 4) | (static_cast<unsigned char>(s[i + k]) & 0xF);
            unit(u);
            i += 5;
        } else if (is_lead_byte(c) && i + 1 < n) {
            unsigned char t = static_cast<unsigned char>(s[i + 1]);
            std::uint16_t u = (t >= 0x40 && t <= 0xFE) ? table(c, t) : 0;
            if (u) {
                unit(u);
                i += 2;
            } else {
                unit('?');  // not a CP936 character: Windows' default character
                i += (t >= 0x40 && t <= 0xFE) ? 2 : 1;
            }
        } else {
            unit('?');
            ++i;
        }
    }
    return out;
}

std::string encode(const Decoded& d) { return d.utf16 ? encode_utf16(d.text) + d.tail : d.text; }

// A value handed to the caller: a character CP936 lacks reads as "?", as Windows gives it.
std::string without_escapes(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) == 0xFF && i + 4 < s.size() && escape_digit(s[i + 1]) &&
            escape_digit(s[i + 2]) && escape_digit(s[i + 3]) && escape_digit(s[i + 4])) {
            out += '?';
            i += 4;
        } else {
            out += s[i];
        }
    }
    return out;
}

// A text as it will read back from a UTF-16 file.
std::string through_utf16(const std::string& s) { return decode(encode_utf16(s)).text; }

// ---- lines --------------------------------------------------------------------
bool blank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string trim_spaces(const std::string& s) {
    if (!s.empty() && s.front() != ' ' && s.back() != ' ') return s;
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return std::string();
    std::size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

const char kCrlf[] = "\r\n";

enum class Kind { Blank, Comment, Header, Entry, Other };

// What a line is; for a header its name, for an entry its key (both trimmed).
Kind classify(const std::string& t, std::string* name = nullptr) {
    std::size_t b = 0;
    while (b < t.size() && blank(t[b])) ++b;
    if (b == t.size()) return Kind::Blank;
    if (t[b] == '[') {
        std::size_t i = b + 1;
        while (i < t.size() && t[i] != ']') i = next_char(t, i);  // a trail byte 0x5D is no bracket
        if (name) *name = trim_blanks(t.substr(b + 1, i - b - 1));
        return Kind::Header;
    }
    if (t[b] == ';') return Kind::Comment;
    std::size_t eq = t.find('=', b);  // never a trail byte
    if (eq == std::string::npos) return Kind::Other;
    if (name) *name = trim_blanks(t.substr(b, eq - b));
    return Kind::Entry;
}

std::string unquote(std::string v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
    return v;
}

bool has_break(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// The value of key in the first section named section, scanning no further than needed.
bool find_value(const std::string& t, const std::string& section, const std::string& key, std::string& out) {
    const std::size_t n = t.size();
    bool in_section = false;
    std::string name;
    for (std::size_t pos = 0; pos < n;) {
        std::size_t e = pos;
        while (e < n && t[e] != '\r' && t[e] != '\n') ++e;
        std::size_t b = pos;
        while (b < e && blank(t[b])) ++b;
        if (b < e && (t[b] == '[' || (in_section && t[b] != ';'))) {
            std::string line = t.substr(pos, e - pos);
            Kind k = classify(line, &name);
            if (k == Kind::Header) {
                if (in_section) return false;  // later sections of the same name are not read
                in_section = equal_no_case(name, section);
            } else if (k == Kind::Entry && equal_no_case(name, key)) {
                out = unquote(trim_blanks(line.substr(line.find('=') + 1)));
                return true;
            }
        }
        pos = e;
        if (pos < n) pos += (t[pos] == '\r' && pos + 1 < n && t[pos + 1] == '\n') ? 2 : 1;
    }
    return false;
}

// ---- the editable document ------------------------------------------------------
struct Line {
    std::string text;  // without its line break
    const char* eol;   // "", "\r", "\n" or "\r\n"
    Kind kind;
};
using LineIt = std::list<Line>::iterator;

struct Section {
    LineIt header;
    LineIt last_key;  // the last key line, or the header when there is none
    std::unordered_map<std::string, std::vector<LineIt>> keys;  // folded name -> its lines in order
};

// A file's lines with an index of its sections and keys, so that a batch of
// changes costs one parse and one serialisation whatever its length.
class Document {
public:
    explicit Document(const std::string& t) { parse(t); }
    Document(const Document&) = delete;  // the index holds iterators into lines_
    Document& operator=(const Document&) = delete;

    std::string text() const {
        std::size_t size = 0;
        for (const Line& l : lines_) size += l.text.size() + 2;
        std::string out;
        out.reserve(size);
        for (const Line& l : lines_) {
            out += l.text;
            out += l.eol;
        }
        return out;
    }

    // Names trimmed and not empty.
    void write(const std::string& section, const std::string& key, const std::string& value) {
        Section* s = find_section(section);
        std::string folded_key = ascii_lower(key);
        if (!s) {
            if (!lines_.empty() && !*lines_.back().eol) lines_.back().eol = kCrlf;
            lines_.push_back(Line{"[" + section + "]", kCrlf, Kind::Header});
            LineIt h = std::prev(lines_.end());
            lines_.push_back(Line{key + "=" + value, kCrlf, Kind::Entry});
            LineIt k = std::prev(lines_.end());
            sections_.push_back(Section{h, k, {}});
            sections_.back().keys[std::move(folded_key)].push_back(k);
            index_[ascii_lower(section)].push_back(sections_.size() - 1);
            return;
        }
        auto& lines = s->keys[std::move(folded_key)];
        if (!lines.empty()) {
            Line& l = *lines.front();
            std::string spelling = trim_blanks(l.text.substr(0, l.text.find('=')));
            l.text = spelling + "=" + value;
            l.eol = kCrlf;
            return;
        }
        LineIt after = s->last_key;
        if (!*after->eol) after->eol = kCrlf;
        LineIt k = lines_.insert(std::next(after), Line{key + "=" + value, kCrlf, Kind::Entry});
        lines.push_back(k);
        s->last_key = k;
    }

    void delete_key(const std::string& section, const std::string& key) {
        Section* s = find_section(section);
        if (!s) return;
        auto found = s->keys.find(ascii_lower(key));
        if (found == s->keys.end() || found->second.empty()) return;
        LineIt l = found->second.front();
        found->second.erase(found->second.begin());  // duplicates are rare
        if (l == s->last_key) {
            LineIt p = l;
            do --p;
            while (p->kind != Kind::Entry && p->kind != Kind::Header);
            s->last_key = p;
        }
        lines_.erase(l);
    }

    // The header and key lines go; comments and other lines stay where they are.
    void delete_section(const std::string& section) {
        cached_ = nullptr;
        auto found = index_.find(ascii_lower(section));
        if (found == index_.end() || found->second.empty()) return;
        Section& s = sections_[found->second.front()];
        found->second.erase(found->second.begin());  // duplicates are rare
        for (auto& entry : s.keys)
            for (LineIt l : entry.second) lines_.erase(l);
        lines_.erase(s.header);
        s.keys.clear();
    }

    void reparse() {
        std::string t = text();
        cached_ = nullptr;
        lines_.clear();
        sections_.clear();
        index_.clear();
        parse(t);
    }

private:
    void parse(const std::string& t) {
        const std::size_t n = t.size();
        std::ptrdiff_t current = -1;
        std::string name;
        for (std::size_t pos = 0; pos < n;) {
            std::size_t e = pos;
            while (e < n && t[e] != '\r' && t[e] != '\n') ++e;
            const char* eol = "";
            std::size_t next = e;
            if (e < n && t[e] == '\r') {
                if (e + 1 < n && t[e + 1] == '\n') {
                    eol = kCrlf;
                    next = e + 2;
                } else {
                    eol = "\r";
                    next = e + 1;
                }
            } else if (e < n) {
                eol = "\n";
                next = e + 1;
            }
            std::string text = t.substr(pos, e - pos);
            Kind k = classify(text, &name);
            lines_.push_back(Line{std::move(text), eol, k});
            LineIt it = std::prev(lines_.end());
            if (k == Kind::Header) {
                sections_.push_back(Section{it, it, {}});
                current = static_cast<std::ptrdiff_t>(sections_.size() - 1);
                index_[ascii_lower(name)].push_back(sections_.size() - 1);
            } else if (k == Kind::Entry && current >= 0) {
                Section& s = sections_[current];
                s.keys[ascii_lower(name)].push_back(it);
                s.last_key = it;
            }
            pos = next;
        }
    }

    Section* find_section(const std::string& section) {
        // A batch mostly changes one section after another: remember the last one found.
        if (cached_ && section == cached_name_) return cached_;
        auto found = index_.find(ascii_lower(section));
        if (found == index_.end() || found->second.empty()) return nullptr;
        cached_name_ = section;
        cached_ = &sections_[found->second.front()];
        return cached_;
    }

    Section* cached_ = nullptr;  // forgotten whenever sections go
    std::string cached_name_;

    std::list<Line> lines_;
    std::deque<Section> sections_;  // in file order; a deque keeps them in place as it grows
    std::unordered_map<std::string, std::vector<std::size_t>> index_;  // folded name -> sections in order
};

// Whether the lines a write produces read back as the names it was given;
// when not (a name holding "=", "]", a line break, ...) the document is parsed
// again after the write so that a batch still matches the single calls.
bool tidy_write(const std::string& section, const std::string& key, const std::string& value) {
    if (has_break(section) || has_break(key) || has_break(value)) return false;
    if (section.empty() || key.empty() || blank(section.front()) || blank(section.back()) || blank(key.front()) ||
        blank(key.back()) || key.front() == '[' || key.front() == ';' || key.find('=') != std::string::npos)
        return false;
    // "[section]" must end at our own bracket: no "]" inside, no lone lead byte swallowing it.
    for (std::size_t i = 0; i < section.size(); i = next_char(section, i))
        if (section[i] == ']' || (is_lead_byte(section[i]) && i + 1 == section.size())) return false;
    return true;
}

enum OpKind { kWrite = 0, kDeleteKey = 1, kDeleteSection = 2 };

// Applies one change to a document; false when its names are refused.
bool apply(Document& doc, bool utf16, int kind, const std::string& section_in, const std::string& key_in,
           const std::string& value_in) {
    std::string section = trim_spaces(section_in), key = trim_spaces(key_in);
    if (section.empty() || (kind != kDeleteSection && key.empty())) return false;
    std::string converted;
    if (utf16) {
        section = through_utf16(section);
        key = through_utf16(key);
        converted = through_utf16(value_in);
    }
    const std::string& value = utf16 ? converted : value_in;
    switch (kind) {
        case kWrite:
            doc.write(section, key, value);
            if (!tidy_write(section, key, value)) doc.reparse();
            break;
        case kDeleteKey:
            doc.delete_key(section, key);
            break;
        default:
            doc.delete_section(section);
            break;
    }
    return true;
}

std::string apply_one(const std::string& content, int kind, const std::string& section, const std::string& key,
                      const std::string& value) {
    Decoded d = decode(content);
    Document doc(d.text);
    if (!apply(doc, d.utf16, kind, section, key, value)) return content;
    d.text = doc.text();
    return encode(d);
}

// The file's bytes for a change; false when an existing file cannot be read
// (it is then never overwritten).
bool load(const std::string& file, std::string& content, bool& existed) {
    content.clear();
    existed = sys().files.read(file, content);
    if (existed) return true;
    content.clear();
    return !sys().files.exists(file);
}

bool store(const std::string& file, const std::string& old_content, bool existed, const std::string& content) {
    if (existed && content == old_content) return true;  // nothing changes
    if (!existed && content.empty()) return true;        // nothing to create
    return sys().files.replace(file, content);
}

bool change_file(const std::string& file, int kind, const std::string& section, const std::string& key,
                 const std::string& value) {
    if (trim_spaces(section).empty() || (kind != kDeleteSection && trim_spaces(key).empty())) return false;
    std::string content;
    bool existed = false;
    if (!load(file, content, existed)) return false;
    return store(file, content, existed, apply_one(content, kind, section, key, value));
}

std::string trim_trailing_spaces(const std::string& s) {
    std::size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

}  // namespace

// ---- the pure text layer ----------------------------------------------------------
namespace text {

std::string read(const std::string& content, const std::string& section, const std::string& key, bool& found) {
    found = false;
    std::string s = trim_spaces(section), k = trim_spaces(key);
    if (s.empty() || k.empty()) return std::string();
    Decoded d = decode(content);
    if (d.utf16) {
        s = through_utf16(s);
        k = through_utf16(k);
    }
    std::string value;
    found = find_value(d.text, s, k, value);
    return d.utf16 ? without_escapes(value) : value;
}

std::string write(const std::string& content, const std::string& section, const std::string& key,
                  const std::string& value) {
    return apply_one(content, kWrite, section, key, value);
}

std::string delete_key(const std::string& content, const std::string& section, const std::string& key) {
    return apply_one(content, kDeleteKey, section, key, "");
}

std::string delete_section(const std::string& content, const std::string& section) {
    return apply_one(content, kDeleteSection, section, "", "");
}

}  // namespace text

// ---- over the file service ----------------------------------------------------------
std::string read(const std::string& file, const std::string& section, const std::string& key, const std::string& def) {
    std::string content;
    if (!sys().files.read(file, content)) return trim_trailing_spaces(def);
    bool found = false;
    std::string value = text::read(content, section, key, found);
    return found ? value : trim_trailing_spaces(def);
}

bool write(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
    return change_file(file, kWrite, section, key, value);
}

bool delete_key(const std::string& file, const std::string& section, const std::string& key) {
    return change_file(file, kDeleteKey, section, key, "");
}

bool delete_section(const std::string& file, const std::string& section) {
    return change_file(file, kDeleteSection, section, "", "");
}

Batch::Batch(std::string file) : file_(std::move(file)) {}

void Batch::write(const std::string& section, const std::string& key, const std::string& value) {
    ops_.push_back(Op{kWrite, section, key, value});
}

void Batch::delete_key(const std::string& section, const std::string& key) {
    ops_.push_back(Op{kDeleteKey, section, key, ""});
}

void Batch::delete_section(const std::string& section) { ops_.push_back(Op{kDeleteSection, section, "", ""}); }

bool Batch::commit() {
    std::string content;
    bool existed = false;
    if (!load(file_, content, existed)) return false;
    Decoded d = decode(content);
    Document doc(d.text);
    for (const Op& op : ops_) apply(doc, d.utf16, op.kind, op.section, op.key, op.value);
    d.text = doc.text();
    if (!store(file_, content, existed, encode(d))) return false;
    ops_.clear();
    return true;
}

}  // namespace q::ini
