#include "media/id3.h"

#include <cstddef>

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

}  // namespace q::media
