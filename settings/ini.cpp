#include "settings/ini.h"

#include <cstdint>
#include <deque>
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

using std::string_view;

enum ChangeKind { kWrite, kDeleteKey, kDeleteSection, kList };

// ---- lines: one splitter for reads and for the document -----------------------

string_view trim_spaces(string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

bool has_break(string_view s) {
    for (char c : s)
        if (c == '\r' || c == '\n') return true;
    return false;
}

enum class Break : std::uint8_t { None, Cr, Lf, Crlf };
const string_view kBreaks[] = {"", "\r", "\n", "\r\n"};

// The line starting at pos: its text, the break that ends it and where the next line starts.
struct LineAt {
    string_view text;
    Break eol;
    std::size_t next;
};
LineAt line_at(string_view t, std::size_t pos) {
    std::size_t e = pos;
    while (e < t.size() && t[e] != '\r' && t[e] != '\n') ++e;
    Break eol = Break::None;
    if (e < t.size()) eol = t[e] == '\n' ? Break::Lf : e + 1 < t.size() && t[e + 1] == '\n' ? Break::Crlf : Break::Cr;
    return {t.substr(pos, e - pos), eol, e + kBreaks[static_cast<int>(eol)].size()};
}

enum class Kind : std::uint8_t { Blank, Comment, Header, Entry, Other };

// What a line is; for a header its name, for an entry its key (both trimmed).
Kind classify(string_view t, string_view* name) {
    std::size_t b = 0;
    while (b < t.size() && is_blank(t[b])) ++b;
    if (b == t.size()) return Kind::Blank;
    if (t[b] == '[') {
        std::size_t i = b + 1;
        while (i < t.size() && t[i] != ']') i = next_char(t, i);  // a trail byte 0x5D is no bracket
        *name = trim_blanks_view(t.substr(b + 1, i - b - 1));
        return Kind::Header;
    }
    if (t[b] == ';') return Kind::Comment;
    const std::size_t eq = t.find('=', b);  // never a trail byte
    if (eq == string_view::npos) return Kind::Other;
    *name = trim_blanks_view(t.substr(b, eq - b));
    return Kind::Entry;
}

// Deleting a section takes its header and key lines; its comments stay.
bool goes_with_section(Kind k) { return k == Kind::Header || k == Kind::Entry; }

// An entry's value as a read gives it: trimmed, less one pair of matching quotes.
std::string value_of(string_view entry) {
    string_view v = trim_blanks_view(entry.substr(entry.find('=') + 1));
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// Calls f(name, line) for each entry of the first section of that name, in
// file order, until f returns false; later sections of that name are not read.
template <class F>
void for_each_entry(string_view t, string_view section, F f) {
    bool in_section = false;
    for (std::size_t pos = 0; pos < t.size();) {
        const LineAt at = line_at(t, pos);
        pos = at.next;
        string_view name;
        const Kind kind = classify(at.text, &name);
        if (kind == Kind::Header) {
            if (in_section) return;
            in_section = equal_no_case(name, section);
        } else if (in_section && kind == Kind::Entry && !f(name, at.text)) {
            return;
        }
    }
}

// The value of key in the first section of that name.
bool find_value(string_view t, string_view section, string_view key, std::string& out) {
    bool found = false;
    for_each_entry(t, section, [&](string_view name, string_view line) {
        if (!equal_no_case(name, key)) return true;
        out = value_of(line);
        found = true;
        return false;
    });
    return found;
}

// A text as it reads back from a UTF-16 file.
std::string through_utf16(string_view s) { return cp936_from_utf16le(utf16le_from_cp936(s)); }

// ---- the document ------------------------------------------------------------

// Names looked up as Windows does, without regard to ASCII case. Folding trail
// bytes too in the hash is harmless: names equal_no_case() matches still hash alike.
// Not noexcept, so that the maps keep each name's hash instead of hashing
// again every name a lookup passes.
struct NoCaseHash {
    std::size_t operator()(string_view s) const {
        std::uint64_t h = 14695981039346656037ull;
        for (char c : s) h = (h ^ static_cast<unsigned char>(lower_ascii(c))) * 1099511628211ull;
        if constexpr (sizeof(std::size_t) < sizeof(h)) h ^= h >> 32;  // a 32-bit build keeps all of it
        return static_cast<std::size_t>(h);
    }
};
struct NoCaseEqual {
    bool operator()(string_view a, string_view b) const { return equal_no_case(a, b); }
};
template <class Value>
using ByName = std::unordered_map<string_view, Value, NoCaseHash, NoCaseEqual>;

// A line of a file. A line that a change writes is key "=" value, kept as its
// two parts (views of the change's texts) so that nothing is copied per change.
struct Line {
    string_view text;  // without its break; the key of a written line
    string_view value;
    Kind kind;
    Break eol;
    bool written;
    bool gone;  // deleted: it keeps its place and is written as nothing
};

// A header's name, an entry's key.
string_view name_of(const Line& l) {
    string_view name;
    if (l.written) return l.text;
    classify(l.text, &name);
    return name;
}

struct Section {
    // Its text as read, header first (none for the lines before the first
    // header). It is split into lines only when a change looks into it: a
    // section nothing touches is written back as this one piece.
    string_view raw;
    bool split = false;
    // Deleted while still whole: its comments are written, its header and keys not.
    bool dropped = false;
    // Its lines once split. A deque, so that thousands of new keys never copy
    // the lines already there.
    std::deque<Line> lines;
    std::size_t last_key = 0;  // a new key goes after it: the last live key line, or the header
    struct Keys {
        std::size_t first, count;  // the line read and changed; how many live lines have that name
    };
    ByName<Keys> keys;
    // Whether keys and last_key are made: only when a change first looks into
    // the section, so a section replaced whole never needs them.
    bool indexed = false;
    // The entries of a numbered list written whole after the header, made
    // into lines only when a later change looks into the section.
    const Batch::List* list = nullptr;

    // Half the buckets empty: a new key, what most changes of a batch add, is
    // then mostly known to be new without visiting another key on the way.
    Section() { keys.max_load_factor(0.5f); }
};

// A file's text as lines grouped by section, with an index of its sections and
// of the keys of each. Texts are views of the file (which the document holds),
// of the changes (which outlive it) or of texts it keeps itself.
class Document {
public:
    Document(std::string text, bool utf16) : original_(std::move(text)), src_(original_), utf16_(utf16) { parse(); }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // One change, made as a single call makes it; a batch makes its changes one
    // after another. False when its names are refused.
    bool apply(ChangeKind change, string_view section, string_view key, string_view value) {
        section = trim_spaces(section);
        key = trim_spaces(key);
        if (section.empty() || (change != kDeleteSection && key.empty())) return false;
        if (utf16_) {
            section = keep(through_utf16(section));
            key = keep(through_utf16(key));
            value = keep(through_utf16(value));
        }
        if (change == kWrite) {
            // Lines that read back otherwise (a name holding "=" or "]", a
            // value holding a line break) are split again, as a reader will.
            if (!write(section, key, value)) parse_again();
        } else if (change == kDeleteKey) {
            delete_key(section, key);
        } else {
            delete_section(section);
        }
        return true;
    }

    // The text's pieces in order, each handed to put, until put returns
    // false; false then.
    template <class Put>
    bool pieces(Put put) const {
        std::string value;
        char key[24];
        for (const Section& s : sections_) {
            if (!s.split && !s.dropped && !put(s.raw)) return false;
            if (!s.split && s.dropped) {
                for (std::size_t pos = 0; pos < s.raw.size();) {
                    const LineAt at = line_at(s.raw, pos);
                    string_view name;
                    const Kind kind = classify(at.text, &name);
                    if (!goes_with_section(kind) && !put(s.raw.substr(pos, at.next - pos)))
                        return false;
                    pos = at.next;
                }
            }
            for (const Line& l : s.lines) {
                if (l.gone) continue;
                if (!put(l.text) || (l.written && (!put("=") || !put(l.value))) ||
                    !put(kBreaks[static_cast<int>(l.eol)]))
                    return false;
            }
            for (std::size_t i = 0; s.list && i < s.list->count; ++i) {
                char* k = key + sizeof key;  // the key "i + 1" and "=", written from the end
                *--k = '=';
                for (std::size_t n = i + 1; n > 0; n /= 10) *--k = static_cast<char>('0' + n % 10);
                if (!put(string_view(k, static_cast<std::size_t>(key + sizeof key - k))) ||
                    !put(list_value(*s.list, i, value)) || !put(kBreaks[static_cast<int>(Break::Crlf)]))
                    return false;
            }
        }
        return true;
    }

    std::size_t size() const {
        std::size_t size = 0;
        pieces([&](string_view p) { return (size += p.size(), true); });
        return size;
    }

    std::string text() const {
        std::string out;
        out.reserve(size());
        pieces([&](string_view p) { return (out += p, true); });
        return out;
    }

    // Whether the text has no bytes, without making it.
    bool empty() const {
        return pieces([](string_view p) { return p.empty(); });
    }

    // Whether the text is still the one the document was made from, without
    // making it; the comparison stops at the first piece that differs.
    bool unchanged() const {
        const string_view t = original_;
        std::size_t at = 0;
        return pieces([&](string_view p) {
                   if (t.size() - at < p.size() || t.compare(at, p.size(), p) != 0) return false;
                   at += p.size();
                   return true;
               }) &&
               at == t.size();
    }

    // As deleting the section and writing each entry of the list.
    void apply_list(string_view section, const Batch::List& list) {
        section = trim_spaces(section);
        if (section.empty()) return;
        apply(kDeleteSection, section, "", "");
        if (list.count == 0) return;
        // The list goes whole into a new section at the end when its lines
        // read back as written; otherwise (a later section of that name takes
        // the keys, a value holding a line break, a name that reads back
        // otherwise, a UTF-16 file) entry by entry.
        const std::string header = "[" + std::string(section) + "]";
        string_view reads_as;
        bool whole = !utf16_ && !find(section) && classify(header, &reads_as) == Kind::Header && reads_as == section &&
                     !has_break(section);
        std::string value;
        for (std::size_t i = 0; whole && i < list.count; ++i) whole = !has_break(list_value(list, i, value));
        if (!whole) {
            for (std::size_t i = 0; i < list.count; ++i) {
                const string_view key = keep(decimal(static_cast<long long>(i) + 1));
                apply(kWrite, section, key, keep(list_value(list, i, value)));
            }
            return;
        }
        Section& s = add_section(section, keep(header));
        s.list = &list;
    }

private:
    static const std::string& list_value(const Batch::List& list, std::size_t i, std::string& out) {
        out.clear();
        list.value(i, out);
        return out;
    }

    // A new section at the end, after a line break.
    Section& add_section(string_view name, string_view header) {
        Section& end = sections_.back();
        if (!end.split && !end.raw.empty() && end.raw.back() != '\r' && end.raw.back() != '\n') split(end);
        Line* last = end.lines.empty() ? nullptr : &end.lines.back();
        if (last && last->eol == Break::None) last->eol = Break::Crlf;
        sections_.emplace_back();
        sections_.back().split = true;
        sections_.back().lines.push_back(Line{header, {}, Kind::Header, Break::Crlf, false, false});
        sections_.back().indexed = true;  // no keys yet
        by_name_[name].push_back(sections_.size() - 1);
        return sections_.back();
    }

    // A list's entries as the lines their writes would have made.
    void unfold(Section& s) {
        if (!s.list) return;
        const Batch::List& list = *s.list;
        s.list = nullptr;
        std::string value;
        for (std::size_t i = 0; i < list.count; ++i) {
            const string_view key = keep(decimal(static_cast<long long>(i) + 1));
            s.keys.try_emplace(key, Section::Keys{s.lines.size(), 1});
            s.lines.push_back(Line{key, keep(list_value(list, i, value)), Kind::Entry, Break::Crlf, true, false});
            s.last_key = s.lines.size() - 1;
        }
    }

    // The text cut at its headers; lines are made per section when needed.
    void parse() {
        last_found_ = kNone;
        sections_.assign(1, Section{});
        by_name_.clear();
        std::size_t start = 0;
        for (std::size_t pos = 0; pos < src_.size();) {
            const LineAt at = line_at(src_, pos);
            string_view name;
            if (classify(at.text, &name) == Kind::Header) {
                sections_.back().raw = src_.substr(start, pos - start);
                start = pos;
                sections_.emplace_back();
                by_name_[name].push_back(sections_.size() - 1);
            }
            pos = at.next;
        }
        sections_.back().raw = src_.substr(start);
    }

    // The section's lines, made once.
    static void split(Section& s) {
        if (s.split) return;
        s.split = true;
        for (std::size_t pos = 0; pos < s.raw.size();) {
            const LineAt at = line_at(s.raw, pos);
            pos = at.next;
            string_view name;
            const Kind kind = classify(at.text, &name);
            s.lines.push_back(Line{at.text, {}, kind, at.eol, false, s.dropped && goes_with_section(kind)});
        }
    }

    void parse_again() {
        std::string t = text();
        reparsed_ = std::move(t);
        src_ = reparsed_;
        parse();
        kept_.clear();  // nothing points into them any more
    }

    string_view keep(std::string s) { return kept_.emplace_back(std::move(s)); }

    // A named section with its key index (the lines before any header are never read).
    static Section& indexed(Section& s) {
        if (s.indexed) return s;
        split(s);
        s.indexed = true;
        for (std::size_t i = 1; i < s.lines.size(); ++i) {
            const Line& l = s.lines[i];
            if (l.kind != Kind::Entry) continue;
            ++s.keys.try_emplace(name_of(l), Section::Keys{i, 0}).first->second.count;
            s.last_key = i;
        }
        return s;
    }

    Section* find(string_view name) {
        // A batch mostly changes one section after another.
        if (last_found_ < sections_.size() && last_name_ == name) return &indexed(sections_[last_found_]);
        auto found = by_name_.find(name);
        if (found == by_name_.end()) return nullptr;
        last_name_ = name;
        last_found_ = found->second.front();
        return &indexed(sections_[last_found_]);
    }

    // False when the lines written do not read back as that section, key and value.
    bool write(string_view name, string_view key, string_view value) {
        bool tidy = !has_break(value);
        Section* s = find(name);
        if (!s) {
            const string_view header = keep("[" + std::string(name) + "]");
            string_view reads_as;
            tidy = tidy && classify(header, &reads_as) == Kind::Header && reads_as == name && !has_break(name);
            s = &add_section(name, header);
        }
        unfold(*s);
        const std::size_t at = s->last_key + 1;
        auto [keys, added] = s->keys.try_emplace(key, Section::Keys{at, 1});
        if (!added) {
            // Only the first line of that name changes; it keeps its spelling.
            Line& l = s->lines[keys->second.first];
            l.text = name_of(l);
            l.value = value;
            l.written = true;
            l.eol = Break::Crlf;
            return tidy;
        }
        // A new key goes after the last key line, before the comments ending the section.
        Line& before = s->lines[s->last_key];
        if (before.eol == Break::None) before.eol = Break::Crlf;
        const Line line{key, value, Kind::Entry, Break::Crlf, true, false};
        if (at < s->lines.size() && s->lines[at].gone)
            s->lines[at] = line;  // a deleted line's place will do
        else
            s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), line);
        s->last_key = at;
        return tidy && key.find('=') == string_view::npos && key[0] != '[' && key[0] != ';' &&
               !is_blank(key[0]) && !is_blank(key.back()) && !has_break(key);
    }

    // Only the first line of that name goes.
    void delete_key(string_view name, string_view key) {
        Section* s = find(name);
        if (!s) return;
        unfold(*s);
        auto found = s->keys.find(key);
        if (found == s->keys.end()) return;
        Section::Keys& k = found->second;
        s->lines[k.first].gone = true;
        if (--k.count == 0) {
            s->keys.erase(found);
        } else {
            // The next line of that name is the one read from now on.
            do ++k.first;
            while (!is_key(s->lines[k.first], key));
        }
        while (s->last_key > 0 && !is_key(s->lines[s->last_key])) --s->last_key;
    }

    // The header and key lines of the first section of that name go; its comments stay.
    void delete_section(string_view name) {
        auto found = by_name_.find(name);
        if (found == by_name_.end()) return;
        Section& s = sections_[found->second.front()];
        last_found_ = kNone;
        found->second.erase(found->second.begin());
        if (found->second.empty()) by_name_.erase(found);
        s.dropped = true;  // a section still whole is cut when it is written
        for (Line& l : s.lines)
            if (goes_with_section(l.kind)) l.gone = true;
        s.keys.clear();
        s.indexed = true;
        s.list = nullptr;  // all of them key lines
    }

    static bool is_key(const Line& l) { return l.kind == Kind::Entry && !l.gone; }
    static bool is_key(const Line& l, string_view key) { return is_key(l) && equal_no_case(name_of(l), key); }

    const std::string original_;  // the text the document was made from
    std::string reparsed_;         // the text parsed again after a change that reads back otherwise
    string_view src_;              // the one of them the sections view
    bool utf16_;
    std::deque<std::string> kept_;  // texts the document made; a deque never moves them
    std::vector<Section> sections_;  // in file order; the first holds the lines before any header
    ByName<std::vector<std::size_t>> by_name_;  // the live sections of each name, in file order
    static constexpr std::size_t kNone = SIZE_MAX;
    std::size_t last_found_ = kNone;  // the section find() gave last, for that name
    string_view last_name_;
};

bool is_utf16(const std::string& content) {
    return content.size() >= 2 && content[0] == '\xFF' && content[1] == '\xFE';
}

// A file's bytes after `edit` changed its document. A UTF-16 file is edited
// as CP936 text and written back as UTF-16, an odd last byte kept as it was.
template <class Edit>
std::string edited(const std::string& content, const Edit& edit) {
    if (!is_utf16(content)) {
        Document doc(content, false);
        edit(doc);
        return doc.text();
    }
    const std::size_t odd = content.size() % 2;
    Document doc(cp936_from_utf16le(string_view(content).substr(2, content.size() - 2 - odd)), true);
    edit(doc);
    return content.substr(0, 2) + utf16le_from_cp936(doc.text()) + content.substr(content.size() - odd);
}

std::string edited_once(const std::string& content, ChangeKind change, const std::string& section,
                        const std::string& key, const std::string& value) {
    return edited(content, [&](Document& doc) { doc.apply(change, section, key, value); });
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

bool store(const std::string& file, const std::string& old_content, bool existed, const std::string& content,
           FileSystem::Flush flush) {
    if (existed && content == old_content) return true;  // nothing changes
    if (!existed && content.empty()) return true;        // nothing to create
    return sys().files.replace(file, content, flush);
}

bool change_file(const std::string& file, ChangeKind change, const std::string& section, const std::string& key,
                 const std::string& value, FileSystem::Flush flush) {
    if (trim_spaces(section).empty() || (change != kDeleteSection && trim_spaces(key).empty())) return false;
    std::string content;
    bool existed = false;
    if (!load(file, content, existed)) return false;
    return store(file, content, existed, edited_once(content, change, section, key, value), flush);
}

std::string trim_trailing_spaces(const std::string& s) {
    std::size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

}  // namespace

// ---- the pure text layer -------------------------------------------------------
namespace text {

std::string read(const std::string& content, const std::string& section, const std::string& key, bool& found) {
    found = false;
    std::string s(trim_spaces(section)), k(trim_spaces(key)), value;
    if (s.empty() || k.empty()) return value;
    if (!is_utf16(content)) {
        found = find_value(content, s, k, value);
        return value;
    }
    const std::string t = cp936_from_utf16le(string_view(content).substr(2));
    found = find_value(t, through_utf16(s), through_utf16(k), value);
    return cp936_without_escapes(value);
}

std::vector<std::pair<std::string, std::string>> read_section(const std::string& content, const std::string& section) {
    std::vector<std::pair<std::string, std::string>> out;
    std::string s(trim_spaces(section));
    if (s.empty()) return out;
    const bool wide = is_utf16(content);
    const std::string decoded = wide ? cp936_from_utf16le(string_view(content).substr(2)) : std::string();
    const string_view t = wide ? string_view(decoded) : string_view(content);
    if (wide) s = through_utf16(s);
    for_each_entry(t, s, [&](string_view name, string_view line) {
        if (name.empty()) return true;
        std::string value = value_of(line);
        if (wide) out.emplace_back(cp936_without_escapes(name), cp936_without_escapes(value));
        else out.emplace_back(std::string(name), std::move(value));
        return true;
    });
    return out;
}

std::string write(const std::string& content, const std::string& section, const std::string& key,
                  const std::string& value) {
    return edited_once(content, kWrite, section, key, value);
}

std::string delete_key(const std::string& content, const std::string& section, const std::string& key) {
    return edited_once(content, kDeleteKey, section, key, "");
}

std::string drop_stray_lines(const std::string& content, const std::string& section,
                             const std::vector<std::string>& keys) {
    if (is_utf16(content)) return content;
    const string_view t = content;
    std::string out;
    out.reserve(content.size());
    bool in_section = false, seen = false;
    for (std::size_t pos = 0; pos < t.size();) {
        const LineAt at = line_at(t, pos);
        string_view name;
        const Kind kind = classify(at.text, &name);
        if (kind == Kind::Header) {
            in_section = !seen && equal_no_case(name, section);
            seen = seen || in_section;
        }
        bool stray = in_section && kind == Kind::Other;
        if (in_section && kind == Kind::Entry) {
            stray = true;
            for (const std::string& k : keys) stray = stray && !equal_no_case(name, k);
        }
        if (!stray) out.append(t.substr(pos, at.next - pos));
        pos = at.next;
    }
    return out;
}

std::string delete_section(const std::string& content, const std::string& section) {
    return edited_once(content, kDeleteSection, section, "", "");
}

}  // namespace text

// ---- over the file service -------------------------------------------------------
std::string read(const std::string& file, const std::string& section, const std::string& key, const std::string& def) {
    std::string content;
    if (!sys().files.read(file, content)) return trim_trailing_spaces(def);
    bool found = false;
    std::string value = text::read(content, section, key, found);
    return found ? value : trim_trailing_spaces(def);
}

bool write(const std::string& file, const std::string& section, const std::string& key, const std::string& value,
           FileSystem::Flush flush) {
    return change_file(file, kWrite, section, key, value, flush);
}

bool delete_key(const std::string& file, const std::string& section, const std::string& key, FileSystem::Flush flush) {
    return change_file(file, kDeleteKey, section, key, "", flush);
}

bool delete_section(const std::string& file, const std::string& section, FileSystem::Flush flush) {
    return change_file(file, kDeleteSection, section, "", "", flush);
}

Batch::Batch(std::string file, FileSystem::Flush flush) : file_(std::move(file)), flush_(flush) {}

void Batch::add(int kind, const std::string& section, const std::string& key, const std::string& value) {
    changes_.push_back(Change{kind, section.size(), key.size(), value.size()});
    ((texts_ += section) += key) += value;
}

void Batch::write(const std::string& section, const std::string& key, const std::string& value) {
    add(kWrite, section, key, value);
}

void Batch::delete_key(const std::string& section, const std::string& key) { add(kDeleteKey, section, key, ""); }

void Batch::delete_section(const std::string& section) { add(kDeleteSection, section, "", ""); }

void Batch::write_list(const std::string& section, std::size_t count, ListValue value) {
    changes_.push_back(Change{kList, section.size(), 0, lists_.size()});
    texts_ += section;
    lists_.push_back(List{count, std::move(value)});
}

bool Batch::commit() {
    std::string content;
    bool existed = false;
    if (!load(file_, content, existed)) return false;
    const auto edit = [&](Document& doc) {
        const string_view texts = texts_;
        std::size_t at = 0;
        auto next = [&](std::size_t size) {
            at += size;
            return texts.substr(at - size, size);
        };
        for (const Change& c : changes_) {
            const string_view section = next(c.section);
            if (c.kind == kList) {
                doc.apply_list(section, lists_[c.value]);
                continue;
            }
            const string_view key = next(c.key), value = next(c.value);
            doc.apply(static_cast<ChangeKind>(c.kind), section, key, value);
        }
    };
    bool stored;
    if (is_utf16(content)) {
        stored = store(file_, content, existed, edited(content, edit), flush_);
    } else {
        // The new text goes to the file piece by piece: a list of tens of
        // thousands of entries is never made whole in memory first.
        Document doc(std::move(content), false);
        edit(doc);
        if (existed ? doc.unchanged() : doc.empty())
            stored = true;  // nothing changes
        else
            stored = sys().files.replace_pieces(
                file_, [&](const FileSystem::Put& put) { doc.pieces([&](string_view p) { return (put(p), true); }); },
                flush_);
    }
    if (!stored) return false;
    changes_.clear();
    texts_.clear();
    lists_.clear();
    return true;
}

}  // namespace q::ini
