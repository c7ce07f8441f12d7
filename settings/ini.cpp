#include "settings/ini.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

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

std::string encode(Decoded&& d) { return d.utf16 ? encode_utf16(d.text) + d.tail : std::move(d.text); }

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
using std::string_view;

string_view trim_spaces(string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

// Folding every byte, trail bytes too, keeps names that equal_no_case() matches
// on one hash, without stepping character by character.
std::uint32_t name_hash(std::uint32_t section, string_view s) {
    std::uint32_t h = 2166136261u ^ (section * 0x9E3779B9u);
    for (char c : s) {
        h ^= static_cast<unsigned char>(lower_ascii(c));
        h *= 16777619u;
    }
    return (h ^ (h >> 15)) & ~1u;  // bit 0 is the key index's
}

enum class Kind : std::uint8_t { Blank, Comment, Header, Entry, Other };

// What a line is; for a header its name, for an entry its key (both trimmed).
Kind classify(string_view t, string_view* name = nullptr) {
    std::size_t b = 0;
    while (b < t.size() && is_blank(t[b])) ++b;
    if (b == t.size()) return Kind::Blank;
    if (t[b] == '[') {
        std::size_t i = b + 1;
        while (i < t.size() && t[i] != ']') i = next_char(t, i);  // a trail byte 0x5D is no bracket
        if (name) *name = trim_blanks_view(t.substr(b + 1, i - b - 1));
        return Kind::Header;
    }
    if (t[b] == ';') return Kind::Comment;
    std::size_t eq = t.find('=', b);  // never a trail byte
    if (eq == string_view::npos) return Kind::Other;
    if (name) *name = trim_blanks_view(t.substr(b, eq - b));
    return Kind::Entry;
}

std::string unquote(string_view v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    return std::string(v);
}

const std::size_t kEolSize[] = {0, 1, 1, 2};
enum : std::uint8_t { kNoEol = 0, kCr = 1, kLf = 2, kCrlf = 3 };

// The line starting at pos: where its text ends, where the next line starts,
// and the line break between them (CR, LF or CRLF).
struct LineAt {
    std::size_t end, next;
    std::uint8_t eol;
};
LineAt line_at(string_view t, std::size_t pos) {
    const std::size_t n = t.size();
    std::size_t e = pos;
    while (e < n && t[e] != '\r' && t[e] != '\n') ++e;
    if (e == n) return {e, e, kNoEol};
    if (t[e] == '\n') return {e, e + 1, kLf};
    const bool crlf = e + 1 < n && t[e + 1] == '\n';
    return {e, e + (crlf ? 2 : 1), crlf ? kCrlf : kCr};
}

bool has_break(string_view s) {
    return !s.empty() && (std::memchr(s.data(), '\r', s.size()) || std::memchr(s.data(), '\n', s.size()));
}

// The value of key in the first section named section, scanning no further than needed.
bool find_value(string_view t, string_view section, string_view key, std::string& out) {
    const std::size_t n = t.size();
    bool in_section = false;
    for (std::size_t pos = 0; pos < n;) {
        const LineAt at = line_at(t, pos);
        const std::size_t e = at.end;
        std::size_t b = pos;
        while (b < e && is_blank(t[b])) ++b;
        if (b < e && (t[b] == '[' || (in_section && t[b] != ';'))) {
            string_view line = t.substr(pos, e - pos), name;
            Kind k = classify(line, &name);
            if (k == Kind::Header) {
                if (in_section) return false;  // later sections of the same name are not read
                in_section = equal_no_case(name, section);
            } else if (k == Kind::Entry && equal_no_case(name, key)) {
                out = unquote(trim_blanks_view(line.substr(line.find('=') + 1)));
                return true;
            }
        }
        pos = at.next;
    }
    return false;
}

// ---- the editable document ------------------------------------------------------

// The key lines of every section by folded name: an open-addressing table of
// 8-byte slots, so that indexing thousands of keys costs no allocation per key
// and little memory. A slot keeps neither name nor section: a matching hash is
// confirmed by `matches(line)`, which looks at the line itself.
class KeyIndex {
public:
    static constexpr std::int32_t kEmpty = -1, kGone = -2;
    struct Slot {
        std::uint32_t hash = 0;      // bit 0: more lines of that name may follow in the section
        std::int32_t line = kEmpty;  // the first line of that name, in file order
        std::uint32_t key() const { return hash & ~1u; }
        bool may_have_duplicates() const { return hash & 1u; }
    };

    // h: the name's hash, bit 0 clear.
    template <class Matches>
    Slot* find(std::uint32_t h, const Matches& matches) {
        if (slots_.empty()) return nullptr;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.line == kEmpty) return nullptr;
            if (s.line >= 0 && s.key() == h && matches(s.line)) return &s;
        }
    }

    // The slot of that name, or else the free slot where it goes (its line < 0), for put().
    template <class Matches>
    Slot* locate(std::uint32_t h, const Matches& matches) {
        if ((used_ + 1) * 4 > slots_.size() * 3) rehash(slots_.size() * 2);
        const std::size_t mask = slots_.size() - 1;
        Slot* free = nullptr;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.line == kEmpty) return free ? free : &s;
            if (s.line == kGone) {
                if (!free) free = &s;
            } else if (s.key() == h && matches(s.line)) {
                return &s;
            }
        }
    }
    void put(Slot* s, std::int32_t line, std::uint32_t h) {
        if (s->line == kEmpty) ++used_;
        *s = Slot{h, line};
    }

    // A name already there only marks that duplicate lines follow.
    template <class Matches>
    void add(std::int32_t line, std::uint32_t h, const Matches& matches) {
        Slot* s = locate(h, matches);
        if (s->line >= 0)
            s->hash |= 1u;
        else
            put(s, line, h);
    }

    // Room for `more` names beyond those there, so that a batch grows the table at most once.
    void reserve(std::size_t more) {
        std::size_t want = 64;
        while (want * 3 < (used_ + more + 1) * 4) want *= 2;
        if (want > slots_.size()) rehash(want);
    }

    static void erase(Slot* s) { s->line = kGone; }
    void clear() {
        slots_.clear();
        used_ = 0;
    }

private:
    void rehash(std::size_t size) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(std::max<std::size_t>(64, size), Slot{});
        used_ = 0;
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.line < 0) continue;
            std::size_t i = s.key() & mask;
            while (slots_[i].line != kEmpty) i = (i + 1) & mask;
            slots_[i] = s;
            ++used_;
        }
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;  // live and gone slots
};

// Whether the lines a write produces read back as the names it was given;
// when not (a name holding "=", "]", a line break, ...) the document is parsed
// again after the write so that a batch still matches the single calls.
bool tidy_section(string_view section) {
    if (section.empty() || has_break(section) || is_blank(section.front()) || is_blank(section.back())) return false;
    // "[section]" must end at our own bracket: no "]" inside, no lone lead byte swallowing it.
    for (std::size_t i = 0; i < section.size(); i = next_char(section, i))
        if (section[i] == ']' || (is_lead_byte(static_cast<unsigned char>(section[i])) && i + 1 == section.size()))
            return false;
    return true;
}

bool tidy_entry(string_view key, string_view value) {
    if (key.empty() || is_blank(key.front()) || is_blank(key.back()) || key.front() == '[' || key.front() == ';')
        return false;
    for (char c : key)
        if (c == '=' || c == '\r' || c == '\n') return false;
    return !has_break(value);
}

// A change's section as the document sees it: trimmed, as a UTF-16 file reads
// it back, and whether its header reads back as it. A batch works it out once
// for a run of changes to the same section.
class SectionName {
public:
    SectionName() = default;
    SectionName(const SectionName&) = delete;  // name may point into converted_
    SectionName& operator=(const SectionName&) = delete;
    void set(string_view section, bool utf16) {
        name = trim_spaces(section);
        if (utf16) {
            converted_ = through_utf16(std::string(name));
            name = converted_;
        }
        tidy = tidy_section(name);
    }
    string_view name;
    bool tidy = false;

private:
    std::string converted_;
};

// A file's lines with an index of its sections and keys, so that a batch of
// changes costs one parse and one serialisation whatever its length. Lines the
// changes do not touch point into the original text and are never copied.
class Document {
public:
    static constexpr std::uint32_t kNoSection = UINT32_MAX;
    explicit Document(std::string t) : src_(std::move(t)) { parse(); }
    Document(const Document&) = delete;  // lines point into src_ and arena_
    Document& operator=(const Document&) = delete;

    std::string text() const {
        std::size_t size = 0;
        for (std::int32_t i = head_; i >= 0; i = lines_[i].next) size += lines_[i].len + kEolSize[lines_[i].eol];
        std::string out(size, '\0');
        char* o = out.data();
        for (std::int32_t i = head_; i >= 0; i = lines_[i].next) {
            const Line& l = lines_[i];
            if (l.len) std::memcpy(o, l.p, l.len);
            o += l.len;
            if (l.eol == kCrlf) {
                o[0] = '\r';
                o[1] = '\n';
                o += 2;
            } else if (l.eol != kNoEol) {
                *o++ = l.eol == kCr ? '\r' : '\n';
            }
        }
        return out;
    }

    // Names trimmed and not empty. `ready`, when given, is key "=" value already
    // in one piece that outlives the document, and is used as the line itself.
    void write(const SectionName& section_name, string_view key, string_view value, string_view ready = {}) {
        const string_view section = section_name.name;
        const auto line_of = [&] { return ready.empty() ? arena_.keep({key, "=", value}) : ready; };
        const std::int32_t id = find_section(section_name);
        if (id < 0) {
            if (tail_ >= 0 && lines_[tail_].eol == kNoEol) lines_[tail_].eol = kCrlf;
            const std::int32_t h = insert_after(tail_, arena_.keep({"[", section, "]"}), Kind::Header);
            const auto sid = static_cast<std::uint32_t>(sections_.size());
            const std::int32_t k = insert_after(h, line_of(), Kind::Entry, sid);
            sections_.push_back(Section{h, k});
            index_[ascii_lower(section)].push_back(sid);
            keys_.add(k, name_hash(sid, key), key_in(sid, key));
            return;
        }
        Section& s = sections_[static_cast<std::size_t>(id)];
        const auto sid = static_cast<std::uint32_t>(id);
        const std::uint32_t hash = name_hash(sid, key);
        KeyIndex::Slot* slot = keys_.locate(hash, key_in(sid, key));
        if (slot->line >= 0) {
            Line& l = lines_[slot->line];
            const string_view old(l.p, l.len);
            const string_view spelling = trim_blanks_view(old.substr(0, old.find('=')));
            set_text(l, arena_.keep({spelling, "=", value}));
            l.eol = kCrlf;
            return;
        }
        if (lines_[s.last_key].eol == kNoEol) lines_[s.last_key].eol = kCrlf;
        const std::int32_t k = insert_after(s.last_key, line_of(), Kind::Entry, sid);
        keys_.put(slot, k, hash);
        s.last_key = k;
    }

    void delete_key(const SectionName& section, string_view key) {
        const std::int32_t id = find_section(section);
        if (id < 0) return;
        KeyIndex::Slot* slot = find_key(static_cast<std::uint32_t>(id), key);
        if (!slot) return;
        const std::int32_t l = slot->line;
        // Only the first of duplicate keys goes; the next one, if any is left, takes its place.
        std::int32_t next = -1;
        if (slot->may_have_duplicates())
            for (std::int32_t i = lines_[l].next; i >= 0 && lines_[i].kind != Kind::Header; i = lines_[i].next)
                if (lines_[i].kind == Kind::Entry && equal_no_case(entry_name(i), key)) {
                    next = i;
                    break;
                }
        if (next >= 0)
            slot->line = next;
        else
            KeyIndex::erase(slot);
        Section& s = sections_[static_cast<std::size_t>(id)];
        if (l == s.last_key) {
            std::int32_t p = lines_[l].prev;
            while (lines_[p].kind != Kind::Entry && lines_[p].kind != Kind::Header) p = lines_[p].prev;
            s.last_key = p;
        }
        unlink(l);
    }

    // The header and key lines go; comments and other lines stay where they are.
    void delete_section(const SectionName& section) {
        cached_ = -1;
        auto found = index_.find(ascii_lower(section.name));
        if (found == index_.end() || found->second.empty()) return;
        const std::uint32_t id = found->second.front();
        found->second.erase(found->second.begin());  // duplicates are rare
        const std::int32_t h = sections_[id].header;
        for (std::int32_t i = lines_[h].next; i >= 0 && lines_[i].kind != Kind::Header;) {
            const std::int32_t next = lines_[i].next;
            if (lines_[i].kind == Kind::Entry) {
                if (KeyIndex::Slot* slot = find_key(id, entry_name(i))) KeyIndex::erase(slot);
                unlink(i);
            }
            i = next;
        }
        unlink(h);
    }

    // The text, letting go of the key index first so that it and the text are
    // never held at once; the document takes no more changes.
    std::string finish() {
        keys_ = KeyIndex();
        return text();
    }

    // Room for `more` writes, most of which add one key line; writes that also add
    // a header may grow the lines once more.
    void reserve(std::size_t more) {
        lines_.reserve(lines_.size() + more + 16);
        section_of_.reserve(lines_.capacity());
        keys_.reserve(more);
    }

    void reparse() {
        std::string t = text();
        lines_.clear();
        section_of_.clear();
        sections_.clear();
        index_.clear();
        keys_.clear();
        head_ = tail_ = cached_ = -1;
        src_ = std::move(t);
        arena_.clear();
        parse();
    }

private:
    struct Line {
        const char* p;
        std::uint32_t len;
        std::uint8_t eol;
        Kind kind;
        std::int32_t prev, next;
    };
    struct Section {
        std::int32_t header;
        std::int32_t last_key;  // the last key line, or the header when there is none
    };

    static void set_text(Line& l, string_view t) {
        l.p = t.data();
        l.len = static_cast<std::uint32_t>(t.size());
    }

    string_view entry_name(std::int32_t i) const {
        string_view name;
        classify(string_view(lines_[i].p, lines_[i].len), &name);
        return name;
    }
    // Whether a key line is of that section and name, for the key index.
    struct KeyIn {
        const Document* doc;
        std::uint32_t section;
        string_view name;
        bool operator()(std::int32_t line) const {
            return doc->section_of_[line] == section && equal_no_case(doc->entry_name(line), name);
        }
    };
    KeyIn key_in(std::uint32_t section, string_view name) const { return KeyIn{this, section, name}; }
    KeyIndex::Slot* find_key(std::uint32_t section, string_view key) {
        return keys_.find(name_hash(section, key), key_in(section, key));
    }

    // A new line after `after` (-1: at the start), ending in CRLF; returns its index.
    // A key line names its section.
    std::int32_t insert_after(std::int32_t after, string_view t, Kind kind, std::uint32_t section = kNoSection) {
        const auto i = static_cast<std::int32_t>(lines_.size());
        const std::int32_t next = after >= 0 ? lines_[after].next : head_;
        lines_.push_back(Line{t.data(), static_cast<std::uint32_t>(t.size()), kCrlf, kind, after, next});
        section_of_.push_back(section);
        if (after >= 0)
            lines_[after].next = i;
        else
            head_ = i;
        if (next >= 0)
            lines_[next].prev = i;
        else
            tail_ = i;
        return i;
    }

    void unlink(std::int32_t i) {
        const Line& l = lines_[i];
        if (l.prev >= 0)
            lines_[l.prev].next = l.next;
        else
            head_ = l.next;
        if (l.next >= 0)
            lines_[l.next].prev = l.prev;
        else
            tail_ = l.prev;
    }

    void parse() {
        const string_view t = src_;
        const std::size_t n = t.size();
        std::int32_t current = -1;
        for (std::size_t pos = 0; pos < n;) {
            const LineAt at = line_at(t, pos);
            string_view line = t.substr(pos, at.end - pos), name;
            const Kind k = classify(line, &name);
            const bool key = k == Kind::Entry && current >= 0;
            const std::int32_t i = insert_after(tail_, line, k, key ? static_cast<std::uint32_t>(current) : kNoSection);
            lines_[i].eol = at.eol;
            if (k == Kind::Header) {
                current = static_cast<std::int32_t>(sections_.size());
                sections_.push_back(Section{i, i});
                index_[ascii_lower(name)].push_back(static_cast<std::uint32_t>(current));
            } else if (key) {
                const auto sid = static_cast<std::uint32_t>(current);
                keys_.add(i, name_hash(sid, name), key_in(sid, name));
                sections_[static_cast<std::size_t>(current)].last_key = i;
            }
            pos = at.next;
        }
    }

    std::int32_t find_section(const SectionName& section) {
        // A batch mostly changes one section after another: remember the last one found.
        if (cached_ >= 0 && section.name == cached_name_) return cached_;
        auto found = index_.find(ascii_lower(section.name));
        if (found == index_.end() || found->second.empty()) return -1;
        cached_name_.assign(section.name);
        cached_ = static_cast<std::int32_t>(found->second.front());
        return cached_;
    }

    std::string src_;
    detail::TextArena arena_;
    std::vector<Line> lines_;  // a list linked by index, in no particular order in the vector
    std::vector<std::uint32_t> section_of_;  // by line: a key line's section, else kNoSection
    std::int32_t head_ = -1, tail_ = -1;
    std::vector<Section> sections_;                                    // in file order
    std::unordered_map<std::string, std::vector<std::uint32_t>> index_;  // folded name -> sections in order
    KeyIndex keys_;
    std::int32_t cached_ = -1;  // forgotten whenever sections go
    std::string cached_name_;
};

enum OpKind { kWrite = 0, kDeleteKey = 1, kDeleteSection = 2, kRefused = 3 };

// Applies one change to a document; false when its names are refused.
// `one_piece`: key_in, "=" and value_in lie one after another in memory that
// outlives the document, as a batch keeps them.
bool apply(Document& doc, bool utf16, int kind, const SectionName& section, string_view key_in,
           string_view value_in, bool one_piece = false) {
    string_view key = trim_spaces(key_in), value = value_in;
    if (kind == kRefused || section.name.empty() || (kind != kDeleteSection && key.empty())) return false;
    std::string k16, v16;
    if (utf16) {
        k16 = through_utf16(std::string(key));
        v16 = through_utf16(std::string(value));
        key = k16;
        value = v16;
    }
    switch (kind) {
        case kWrite: {
            // In one piece, key "=" value is the new line as it stands (unless
            // trailing spaces left the key).
            string_view ready;
            if (one_piece && !utf16 && key.data() + key.size() == key_in.data() + key_in.size())
                ready = string_view(key.data(), key.size() + 1 + value.size());
            doc.write(section, key, value, ready);
            if (!section.tidy || !tidy_entry(key, value)) doc.reparse();
            break;
        }
        case kDeleteKey:
            doc.delete_key(section, key);
            break;
        default:
            doc.delete_section(section);
            break;
    }
    return true;
}

// A file's bytes after `changes(document, utf16)`; as they were when it returns false.
template <class Changes>
std::string edited(const std::string& content, const Changes& changes) {
    Decoded d = decode(content);
    Document doc(std::move(d.text));
    if (!changes(doc, d.utf16)) return content;
    d.text = doc.finish();
    return encode(std::move(d));
}

std::string apply_one(const std::string& content, int kind, string_view section_in, string_view key,
                      string_view value) {
    return edited(content, [&](Document& doc, bool utf16) {
        SectionName section;
        section.set(section_in, utf16);
        return apply(doc, utf16, kind, section, key, value);
    });
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
    return sys().files.replace(file, content, write_flush(file));
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
    std::string s(trim_spaces(section)), k(trim_spaces(key));
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

namespace detail {

char* TextArena::room(std::size_t n) {
    if (chunks_.empty() || n > chunks_.back().size - chunks_.back().used) {
        const std::size_t size = std::max<std::size_t>(n, 64 * 1024);
        chunks_.push_back(Chunk{std::unique_ptr<char[]>(new char[size]), 0, size});  // not zeroed: written before use
    }
    Chunk& c = chunks_.back();
    char* const start = c.data.get() + c.used;
    c.used += n;
    return start;
}

string_view TextArena::keep(std::initializer_list<string_view> parts) {
    std::size_t n = 0;
    for (string_view part : parts) n += part.size();
    char* const start = room(n);
    char* p = start;
    for (string_view part : parts) {
        if (part.empty()) continue;  // an empty view may have no data to copy from
        std::memcpy(p, part.data(), part.size());
        p += part.size();
    }
    return string_view(start, n);
}

}  // namespace detail

Batch::Batch(std::string file) : file_(std::move(file)) {}

// A change is kept as one record: its kind, the sizes of its key and value,
// its section unless it is the previous change's, then key, "=" and value, so
// that key "=" value is the line a write adds. Sizes take 7 bits a byte, the
// high bit saying another byte follows. No allocation per change.
namespace {
struct Record {
    int kind;
    bool same_section;
    string_view section, key, value;
};
const unsigned char kSameSection = 0x80;

std::size_t size_bytes(std::size_t n) {
    std::size_t bytes = 1;
    for (; n >= 0x80; n >>= 7) ++bytes;
    return bytes;
}

char* put_size(char* p, std::size_t n) {
    for (; n >= 0x80; n >>= 7) *p++ = static_cast<char>((n & 0x7F) | 0x80);
    *p++ = static_cast<char>(n);
    return p;
}

const char* get_size(const char* p, std::size_t& n) {
    n = 0;
    for (unsigned shift = 0;; shift += 7) {
        const unsigned char b = static_cast<unsigned char>(*p++);
        n |= static_cast<std::size_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) return p;
    }
}

char* put(char* p, string_view t) {
    if (!t.empty()) std::memcpy(p, t.data(), t.size());
    return p + t.size();
}

std::size_t read_record(const char* const start, Record& r) {
    const unsigned char head = static_cast<unsigned char>(start[0]);
    r.kind = head & ~kSameSection;
    r.same_section = head & kSameSection;
    std::size_t key_size, value_size, section_size;
    const char* p = get_size(get_size(start + 1, key_size), value_size);
    if (!r.same_section) {
        p = get_size(p, section_size);
        r.section = string_view(p, section_size);
        p += section_size;
    }
    r.key = string_view(p, key_size);
    r.value = string_view(p + key_size + 1, value_size);
    return static_cast<std::size_t>(p - start) + key_size + 1 + value_size;
}
}  // namespace

void Batch::add(int kind, const std::string& section_in, const std::string& key_in, const std::string& value_in) {
    const std::size_t limit = UINT32_MAX;
    string_view section = section_in, key = key_in, value = value_in;
    if (section.size() > limit || key.size() > limit || value.size() > limit) {
        kind = kRefused;  // past any size Windows takes
        section = key = value = {};
    }
    const bool same = has_section_ && section == section_;
    const std::size_t size = 1 + size_bytes(key.size()) + size_bytes(value.size()) +
                             (same ? 0 : size_bytes(section.size()) + section.size()) + key.size() + 1 + value.size();
    char* p = changes_.room(size);
    *p++ = static_cast<char>(kind | (same ? kSameSection : 0));
    p = put_size(put_size(p, key.size()), value.size());
    if (!same) {
        p = put_size(p, section.size());
        section_ = string_view(p, section.size());
        has_section_ = true;
        p = put(p, section);
    }
    *put(p, key) = '=';
    put(p + key.size() + 1, value);
    ++count_;
}

void Batch::write(const std::string& section, const std::string& key, const std::string& value) {
    add(kWrite, section, key, value);
}

void Batch::delete_key(const std::string& section, const std::string& key) { add(kDeleteKey, section, key, ""); }

void Batch::delete_section(const std::string& section) { add(kDeleteSection, section, "", ""); }

bool Batch::commit() {
    std::string content;
    bool existed = false;
    if (!load(file_, content, existed)) return false;
    const std::string result = edited(content, [&](Document& doc, bool utf16) {
        doc.reserve(count_);
        SectionName section;
        for (std::size_t c = 0; c < changes_.chunk_count(); ++c) {
            const string_view chunk = changes_.chunk(c);
            Record r;
            for (std::size_t pos = 0; pos < chunk.size();) {
                pos += read_record(chunk.data() + pos, r);
                if (!r.same_section) section.set(r.section, utf16);
                apply(doc, utf16, r.kind, section, r.key, r.value, true);
            }
        }
        return true;
    });
    if (!store(file_, content, existed, result)) return false;
    changes_.clear();
    count_ = 0;
    has_section_ = false;
    return true;
}

}  // namespace q::ini
