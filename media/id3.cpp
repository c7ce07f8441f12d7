#include "media/id3.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/text.h"

namespace q::media {

namespace {

// Spelled as the program has always shown them, slips included.
const char* const kGenres[148] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip Hop", "Vocal",
    "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel",
    "Noise", "Alt. Rock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",
    "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta Rap", "Top 40", "Christian Rap", "Pop/Punk", "Jungle",
    "Native American", "Cabaret", "New Wave", "Phychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk/Rock",
    "National Folk", "Swing", "Fast-Fusion", "Bebob", "Latin", "Revival", "Celtic", "Blue Grass", "Avantegarde",
    "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony",
    "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A Capella", "Euro-House",
    "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "indie", "Brit Pop", "Negerpunk",
    "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",
    "Comteporary Christian", "Christian Rock", "Merengue", "Salsa", "Trash Metal", "Anime", "JPop", "Synth Pop",
};

std::string field(std::string_view block, std::size_t at, std::size_t len) {
    std::string_view f = block.substr(at, len);
    const std::size_t zero = f.find('\0');
    if (zero != std::string_view::npos) f = f.substr(0, zero);
    const std::size_t first = f.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = f.find_last_not_of(' ');
    return std::string(f.substr(first, last - first + 1));
}

bool is_tag(char a, char b, char c) {
    auto lower = [](char x) { return x >= 'A' && x <= 'Z' ? static_cast<char>(x - 'A' + 'a') : x; };
    return lower(a) == 't' && lower(b) == 'a' && lower(c) == 'g';
}

unsigned byte_at(std::string_view s, std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; }

// ---- ID3v2 ---------------------------------------------------------------

// A text frame's body is read up to this much; a field longer than that is no title.
constexpr std::size_t kMaxFrameRead = 64 * 1024;
// A field is kept to this many UTF-16 units, enough for any label.
constexpr std::size_t kMaxUnits = 256;
// A tag unsynchronised as a whole is read up to this much: frame sizes count
// the bytes after the undoing, so it cannot be walked on the disk.
constexpr std::size_t kMaxUnsyncedTag = 4 * 1024 * 1024;
// Real tags hold a few dozen frames; a tag of tiny frames ends the walk here.
constexpr int kMaxFrames = 4096;

enum Field { kTitle, kArtist, kAlbum, kYear, kComment, kGenre, kNoField };

Field field_of(std::string_view id) {
    static const std::pair<const char*, Field> ids[] = {
        {"TIT2", kTitle}, {"TPE1", kArtist}, {"TALB", kAlbum}, {"TYER", kYear},   {"TDRC", kYear},
        {"COMM", kComment}, {"TCON", kGenre}, {"TT2", kTitle},  {"TP1", kArtist}, {"TAL", kAlbum},
        {"TYE", kYear},   {"COM", kComment}, {"TCO", kGenre},
    };
    for (const auto& [name, f] : ids)
        if (id == name) return f;
    return kNoField;
}

// FF 00 back to FF.
std::string resync(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (static_cast<unsigned char>(s[i]) == 0xFF && i + 1 < s.size() && s[i + 1] == '\0') ++i;
    }
    return out;
}

// Bytes that read as CP936 text: each lead byte followed by a trail byte.
bool is_cp936(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned c = byte_at(s, i);
        if (c == 0xFF) return false;
        if (!is_lead_byte(static_cast<unsigned char>(c))) continue;
        const unsigned t = byte_at(s, ++i);
        if (i >= s.size() || t < 0x40 || t == 0x7F || t == 0xFF) return false;
    }
    return true;
}

std::string trim_spaces(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// One string of the frame's text in encoding enc, from at to its terminator
// (or the end); at moves past the terminator. UTF-16 units in, CP936 out.
std::string take_string(std::string_view b, std::size_t& at, unsigned enc) {
    std::vector<unsigned> units;
    auto push = [&units](unsigned cp) {
        if (units.size() >= kMaxUnits) return;
        if (cp >= 0x10000) {
            units.push_back(0xD800 + ((cp - 0x10000) >> 10));
            units.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            units.push_back(cp);
        }
    };
    std::string direct;  // single-byte text that is already CP936
    if (enc == 1 || enc == 2) {
        bool big = enc == 2;
        if (at + 1 < b.size() && byte_at(b, at) == 0xFF && byte_at(b, at + 1) == 0xFE) {
            big = false;
            at += 2;
        } else if (at + 1 < b.size() && byte_at(b, at) == 0xFE && byte_at(b, at + 1) == 0xFF) {
            big = true;
            at += 2;
        }
        for (; at + 1 < b.size(); at += 2) {
            const unsigned u = big ? byte_at(b, at) << 8 | byte_at(b, at + 1) : byte_at(b, at + 1) << 8 | byte_at(b, at);
            if (u == 0) {
                at += 2;
                break;
            }
            if (units.size() < kMaxUnits) units.push_back(u);
        }
        if (at + 1 == b.size()) at = b.size();
    } else {
        std::size_t end = b.find('\0', std::min(at, b.size()));
        if (end == std::string_view::npos) end = b.size();
        const std::string_view s = b.substr(std::min(at, b.size()), end - std::min(at, b.size()));
        at = end < b.size() ? end + 1 : end;
        if (enc == 3) {
            for (std::size_t i = 0; i < s.size();) {
                const unsigned c = byte_at(s, i);
                const int more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
                unsigned cp = more == 0 ? c : more == 1 ? c & 0x1F : more == 2 ? c & 0x0F : c & 0x07;
                bool ok = more >= 0 && i + static_cast<std::size_t>(more) < s.size();
                for (int k = 1; ok && k <= more; ++k) {
                    const unsigned t = byte_at(s, i + static_cast<std::size_t>(k));
                    ok = (t & 0xC0) == 0x80;
                    cp = cp << 6 | (t & 0x3F);
                }
                if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                    push(0xFFFD);
                    ++i;
                } else {
                    push(cp);
                    i += static_cast<std::size_t>(more) + 1;
                }
            }
        } else if (enc == 0) {
            // Taggers of Chinese music write CP936 here, and Windows shows it
            // so; bytes that are no CP936 text are ISO-8859-1.
            if (is_cp936(s)) {
                direct = cut_bytes(std::string(s), kMaxUnits * 2);
            } else {
                for (std::size_t i = 0; i < s.size(); ++i) push(byte_at(s, i));
            }
        }
    }
    std::string out = direct;
    if (!units.empty()) {
        std::string le;
        le.reserve(units.size() * 2);
        for (unsigned u : units) {
            le += static_cast<char>(u & 0xFF);
            le += static_cast<char>(u >> 8);
        }
        out = cp936_from_utf16le(le);
    }
    // The label has lines of its own; a field's breaks and tabs are blanks.
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return trim_spaces(out);
}

// "(17)" and its kin: a number of the table, a refinement after it, or the
// two words version 2 adds.
std::string genre_text(const std::string& t) {
    auto reference = [](const std::string& r) -> std::string {
        if (r == "RX") return "Remix";
        if (r == "CR") return "Cover";
        if (!r.empty() && r.size() <= 3 && r.find_first_not_of("0123456789") == std::string::npos)
            return genre_name(std::stoi(r));
        return r;
    };
    if (t.size() > 1 && t[0] == '(' && t[1] == '(') return t.substr(1);  // "((" escapes a text that opens with "("
    if (!t.empty() && t[0] == '(') {
        const std::size_t close = t.find(')');
        if (close != std::string::npos) {
            const std::string rest = t.substr(close + 1);
            if (!rest.empty() && rest[0] != '(') return rest;
            return reference(t.substr(1, close - 1));
        }
    }
    if (!t.empty() && t.size() <= 3 && t.find_first_not_of("0123456789") == std::string::npos) return reference(t);
    return t;
}

struct FrameWalk {
    const TagReader& read;
    std::uint64_t end;
    unsigned version;
    bool tag_unsynced;  // version 2.4: every frame is unsynchronised
    Id3Tag tag;
    bool have[kNoField] = {};
    bool comment_plain = false;  // the comment came from a frame without a description

    bool get(std::uint64_t at, std::size_t n, std::string& out) {
        if (at >= end) return false;
        n = static_cast<std::size_t>(std::min<std::uint64_t>(n, end - at));
        return read(at, n, out) && out.size() <= n;
    }

    void frame(Field f, unsigned flags, std::string body) {
        std::size_t skip = 0;
        if (version == 3) {
            if (flags & 0xC0) return;  // compressed or encrypted
            if (flags & 0x20) skip = 1;
        } else if (version == 4) {
            if (flags & 0x0C) return;  // compressed or encrypted
            if (flags & 0x40) skip += 1;
            if (flags & 0x01) skip += 4;
            if ((flags & 0x02) || tag_unsynced) body = resync(body);
        }
        if (body.size() <= skip) return;
        const std::string_view b = std::string_view(body).substr(skip);
        const unsigned enc = byte_at(b, 0);
        std::size_t at = 1;
        std::string text;
        if (f == kComment) {
            at = 4;  // the encoding, then a three-letter language
            const std::string description = take_string(b, at, enc);
            if (comment_plain) return;
            if (have[kComment] && !description.empty()) return;
            if (description.rfind("iTun", 0) == 0) return;  // a player's numbers, not a remark
            comment_plain = description.empty();
            tag.comment = take_string(b, at, enc);
            have[kComment] = true;
            return;
        }
        if (have[f]) return;
        text = take_string(b, at, enc);
        have[f] = true;
        switch (f) {
            case kTitle: tag.title = text; break;
            case kArtist: tag.artist = text; break;
            case kAlbum: tag.album = text; break;
            case kYear: tag.year = text; break;
            case kGenre: tag.genre = trim_spaces(genre_text(text)); break;
            default: break;
        }
    }

    void walk(std::uint64_t pos) {
        const std::size_t id_len = version == 2 ? 3 : 4, head_len = version == 2 ? 6 : 10;
        std::string head, body;
        for (int n = 0; n < kMaxFrames && pos < end && end - pos >= head_len; ++n) {
            if (!get(pos, head_len, head) || head.size() < head_len) return;
            const std::string_view id = std::string_view(head).substr(0, id_len);
            if (!std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
                return;  // padding, or bytes that are no frame
            std::uint64_t size = 0;
            if (version == 2) {
                for (std::size_t i = 3; i < 6; ++i) size = size << 8 | byte_at(head, i);
            } else {
                for (std::size_t i = 4; i < 8; ++i) {
                    const unsigned c = byte_at(head, i);
                    if (version == 4 && (c & 0x80)) return;
                    size = version == 4 ? size << 7 | c : size << 8 | c;
                }
            }
            const std::uint64_t at = pos + head_len;
            size = std::min(size, end - at);  // cut at the tag's (or the file's) end
            const Field f = field_of(id);
            if (f != kNoField && get(at, static_cast<std::size_t>(std::min<std::uint64_t>(size, kMaxFrameRead)), body))
                frame(f, version == 2 ? 0 : byte_at(head, 9), body);
            pos = at + size;
        }
    }
};

}  // namespace

const char* genre_name(int v) { return v >= 0 && v < 148 ? kGenres[v] : ""; }

std::optional<Id3Tag> read_id3v1(std::string_view file_end) {
    if (file_end.size() < kId3v1Bytes) return std::nullopt;
    const std::string_view block = file_end.substr(file_end.size() - kId3v1Bytes);
    if (!is_tag(block[0], block[1], block[2])) return std::nullopt;
    Id3Tag t;
    t.title = field(block, 3, 30);
    t.artist = field(block, 33, 30);
    t.album = field(block, 63, 30);
    t.year = field(block, 93, 4);
    t.comment = field(block, 97, 30);
    t.genre = genre_name(static_cast<unsigned char>(block[127]));
    return t;
}

std::optional<Id3Tag> read_id3v2(const TagReader& read, std::uint64_t tag_bytes) {
    std::string head;
    if (tag_bytes < kId3v2HeaderBytes || !read(0, kId3v2HeaderBytes, head) || head.size() < kId3v2HeaderBytes ||
        head.compare(0, 3, "ID3") != 0)
        return std::nullopt;
    const unsigned version = byte_at(head, 3), flags = byte_at(head, 5);
    if (version < 2 || version > 4 || byte_at(head, 4) == 0xFF) return std::nullopt;
    std::uint64_t body = 0;
    for (std::size_t i = 6; i < 10; ++i) {
        if (byte_at(head, i) & 0x80) return std::nullopt;  // a sync-safe size has its high bits clear
        body = body << 7 | byte_at(head, i);
    }
    if (version == 2 && (flags & 0x40)) return std::nullopt;  // compressed as a whole: no scheme was ever set
    const std::uint64_t end = std::min<std::uint64_t>(tag_bytes, kId3v2HeaderBytes + body);

    // Before version 2.4 unsynchronisation covers the whole tag, frame
    // headers included: undo it in memory, then walk that.
    std::string whole;
    const TagReader in_memory = [&whole](std::uint64_t at, std::size_t n, std::string& out) {
        out = at < whole.size() ? whole.substr(static_cast<std::size_t>(at), n) : std::string();
        return true;
    };
    const bool unsynced = (flags & 0x80) && version < 4;
    if (unsynced) {
        std::string raw;
        if (end > kId3v2HeaderBytes && !read(kId3v2HeaderBytes, static_cast<std::size_t>(std::min<std::uint64_t>(end - kId3v2HeaderBytes, kMaxUnsyncedTag)),
                  raw))
            return std::nullopt;
        whole = head + resync(raw);
    }
    FrameWalk w{unsynced ? in_memory : read, unsynced ? whole.size() : end, version, (flags & 0x80) && version == 4, {}};
    std::uint64_t pos = kId3v2HeaderBytes;
    if (version >= 3 && (flags & 0x40)) {  // an extended header
        std::string ext;
        if (!w.get(pos, 4, ext) || ext.size() < 4) return std::nullopt;
        std::uint64_t size = 0;
        for (std::size_t i = 0; i < 4; ++i) size = version == 4 ? size << 7 | (byte_at(ext, i) & 0x7F) : size << 8 | byte_at(ext, i);
        pos += version == 4 ? size : 4 + size;  // 2.4 counts the size bytes, 2.3 does not
    }
    w.walk(pos);
    if (std::none_of(std::begin(w.have), std::end(w.have), [](bool b) { return b; })) return std::nullopt;
    return w.tag;
}

std::optional<Id3Tag> read_id3v2(std::string_view bytes) {
    const TagReader read = [bytes](std::uint64_t at, std::size_t n, std::string& out) {
        out = at < bytes.size() ? std::string(bytes.substr(static_cast<std::size_t>(at), n)) : std::string();
        return true;
    };
    return read_id3v2(read, bytes.size());
}

std::optional<Id3Tag> merged_tag(const std::optional<Id3Tag>& v1, const std::optional<Id3Tag>& v2) {
    if (!v1 || !v2) return v1 ? v1 : v2;
    Id3Tag t = *v1;
    for (auto member : {&Id3Tag::title, &Id3Tag::artist, &Id3Tag::album, &Id3Tag::year, &Id3Tag::comment, &Id3Tag::genre})
        if (((*v2).*member).size() > (t.*member).size()) t.*member = (*v2).*member;
    return t;
}

}  // namespace q::media
