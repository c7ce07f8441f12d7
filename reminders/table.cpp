#include "reminders/table.h"

#include <algorithm>
#include <cstring>

#include "platform/system.h"
#include "platform/text.h"

namespace q::table {

namespace {

const char kMagic[8] = {'Q', 'L', 'T', 'T', 'A', 'B', 'L', 'E'};
constexpr std::size_t kHeaderBytes = 8 + 2 + 2 + 4 + 1 + 16 + 32;
// Bounds the memory a crafted file can make us take: cells, not just bytes.
constexpr std::uint64_t kMaxCells = 1u << 20;

// ---- SHA-256 ----
constexpr std::uint32_t kK[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

inline std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void sha_block(std::uint32_t h[8], const unsigned char* p) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = (std::uint32_t(p[4 * i]) << 24) | (std::uint32_t(p[4 * i + 1]) << 16) |
               (std::uint32_t(p[4 * i + 2]) << 8) | std::uint32_t(p[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t t1 = k + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kK[i] + w[i];
        std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += k;
}

// ---- little-endian fields ----
void put16(std::string& s, std::uint32_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

struct Reader {
    const std::string& s;
    std::size_t pos = 0;
    std::size_t end;  // bytes before the checksum
    bool ok = true;
    bool need(std::size_t n) {
        if (!ok || end - pos < n) ok = false;
        return ok;
    }
    std::uint32_t u8() {
        if (!need(1)) return 0;
        return static_cast<unsigned char>(s[pos++]);
    }
    std::uint32_t u16() {
        std::uint32_t lo = u8();
        return lo | (u8() << 8);
    }
    std::uint32_t u32() {
        std::uint32_t lo = u16();
        return lo | (u16() << 16);
    }
    std::string bytes(std::size_t n) {
        if (!need(n)) return {};
        std::string r = s.substr(pos, n);
        pos += n;
        return r;
    }
};

std::uint32_t read32_at(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

}  // namespace

std::array<std::uint8_t, 32> sha256(const std::string& data) {
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    std::size_t n = data.size();
    std::size_t full = n / 64;
    for (std::size_t i = 0; i < full; ++i) sha_block(h, p + 64 * i);
    unsigned char tail[128] = {};
    std::size_t rest = n - full * 64;
    if (rest) std::memcpy(tail, p + full * 64, rest);
    tail[rest] = 0x80;
    std::size_t tail_len = rest + 1 + 8 <= 64 ? 64 : 128;
    std::uint64_t bits = static_cast<std::uint64_t>(n) * 8;
    for (int i = 0; i < 8; ++i) tail[tail_len - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    sha_block(h, tail);
    if (tail_len == 128) sha_block(h, tail + 64);
    std::array<std::uint8_t, 32> out{};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j) out[4 * i + j] = static_cast<std::uint8_t>(h[i] >> (24 - 8 * j));
    return out;
}

std::uint32_t crc32(const std::string& data) { return crc32_of(data, data.size()); }

std::uint32_t crc32_of(const std::string& data, std::size_t size) {
    // Slicing by 8: the table is the file's cost on every save, so eight bytes a step.
    static std::uint32_t t[8][256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
        ready = true;
    }
    std::uint32_t c = 0xFFFFFFFFu;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    std::size_t n = std::min(size, data.size());
    while (n >= 8) {
        const std::uint32_t lo = c ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                      std::uint32_t(p[3]) << 24);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
            t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--) c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::array<std::uint8_t, 32> password_hash(const std::array<std::uint8_t, 16>& salt, const std::string& password) {
    std::string in(reinterpret_cast<const char*>(salt.data()), salt.size());
    return sha256(in + password);
}

bool password_matches(const Table& t, const std::string& password) {
    if (!t.is_protected) return true;
    return password_hash(t.salt, password) == t.hash;
}

void protect(Table& t, const std::array<std::uint8_t, 16>& salt, const std::string& password) {
    t.is_protected = true;
    t.salt = salt;
    t.hash = password_hash(salt, password);
}

void append_record(Table& t) { t.records.emplace_back(t.fields.size()); }

void set_field(Table& t, std::size_t record, std::size_t field, const std::string& text) {
    if (record >= t.records.size() || field >= t.fields.size()) return;
    t.records[record][field] = cut_bytes(text, static_cast<std::size_t>(t.fields[field].width));
}

std::string encode(const Table& t) {
    std::string s(kMagic, sizeof kMagic);
    put16(s, kVersion);
    put16(s, static_cast<std::uint32_t>(t.fields.size()));
    put32(s, static_cast<std::uint32_t>(t.records.size()));
    s.push_back(t.is_protected ? 1 : 0);
    s.append(reinterpret_cast<const char*>(t.salt.data()), t.salt.size());
    s.append(reinterpret_cast<const char*>(t.hash.data()), t.hash.size());
    for (const Field& f : t.fields) {
        std::string name = f.name.substr(0, 255), type = f.type.substr(0, 255);
        s.push_back(static_cast<char>(name.size()));
        s += name;
        s.push_back(static_cast<char>(type.size()));
        s += type;
        put16(s, static_cast<std::uint32_t>(f.width));
    }
    std::size_t record_bytes = 0;
    for (const Field& f : t.fields) record_bytes += 2 + static_cast<std::size_t>(f.width);
    s.reserve(s.size() + record_bytes * t.records.size() + 4);
    for (const auto& rec : t.records) {
        for (std::size_t i = 0; i < t.fields.size(); ++i) {
            const std::size_t width = static_cast<std::size_t>(t.fields[i].width);
            static const std::string empty;
            const std::string& cell = i < rec.size() ? rec[i] : empty;
            if (cell.size() > width) {
                const std::string text = cut_bytes(cell, width);
                put16(s, static_cast<std::uint32_t>(text.size()));
                s += text;
                s.append(width - text.size(), '\0');
            } else {
                put16(s, static_cast<std::uint32_t>(cell.size()));
                s += cell;
                s.append(width - cell.size(), '\0');
            }
        }
    }
    put32(s, crc32(s));
    return s;
}

Decode decode(const std::string& bytes, Table& out) {
    if (bytes.size() < kHeaderBytes + 4) return Decode::Short;
    if (bytes.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0) return Decode::Magic;
    Reader r{bytes, sizeof kMagic, bytes.size() - 4};
    if (r.u16() != kVersion) return Decode::Version;
    if (bytes.size() > kMaxFileBytes) return Decode::Layout;
    if (read32_at(bytes, bytes.size() - 4) != crc32_of(bytes, bytes.size() - 4)) return Decode::Checksum;

    Table t;
    const std::uint32_t field_count = r.u16();
    const std::uint32_t record_count = r.u32();
    const std::uint32_t prot = r.u8();
    if (prot > 1 || field_count == 0) return Decode::Layout;
    t.is_protected = prot == 1;
    std::string salt = r.bytes(16), hash = r.bytes(32);
    if (!r.ok) return Decode::Layout;
    std::memcpy(t.salt.data(), salt.data(), 16);
    std::memcpy(t.hash.data(), hash.data(), 32);
    std::size_t record_bytes = 0;
    for (std::uint32_t i = 0; i < field_count; ++i) {
        Field f;
        f.name = r.bytes(r.u8());
        f.type = r.bytes(r.u8());
        f.width = static_cast<int>(r.u16());
        if (!r.ok) return Decode::Layout;
        record_bytes += 2 + static_cast<std::size_t>(f.width);
        t.fields.push_back(std::move(f));
    }
    // The record count must account for exactly the bytes that are left.
    if (static_cast<std::uint64_t>(record_count) * field_count > kMaxCells ||
        static_cast<std::uint64_t>(r.end - r.pos) != static_cast<std::uint64_t>(record_bytes) * record_count)
        return Decode::Layout;
    t.records.reserve(record_count);
    for (std::uint32_t n = 0; n < record_count; ++n) {
        std::vector<std::string> rec;
        rec.reserve(field_count);
        for (const Field& f : t.fields) {
            const std::size_t used = r.u16();
            const std::size_t width = static_cast<std::size_t>(f.width);
            if (used > width) return Decode::Layout;
            std::string cell = r.bytes(width);
            if (!r.ok) return Decode::Layout;
            cell.resize(used);
            rec.push_back(std::move(cell));
        }
        t.records.push_back(std::move(rec));
    }
    out = std::move(t);
    return Decode::Ok;
}

// ---- the facility ----

namespace {

std::array<std::uint8_t, 16> new_salt(const std::string& path) {
    // Only makes salts differ between tables saved in the same millisecond.
    static std::uint64_t counter = 0;
    std::string seed = path;
    seed += decimal(static_cast<long long>(sys().clock.ticks_ms()));
    seed += decimal(static_cast<long long>(sys().clock.now().serial()));
    seed += decimal(static_cast<long long>(++counter));
    seed += decimal(static_cast<long long>(reinterpret_cast<std::uintptr_t>(&seed)));
    auto h = sha256(seed);
    std::array<std::uint8_t, 16> salt{};
    std::memcpy(salt.data(), h.data(), salt.size());
    return salt;
}

// path + ".bad", or ".bad2", ".bad3" ...: no table kept aside earlier is
// ever replaced.
std::string free_bad_name(const std::string& path) {
    return free_name(sys().files, [&path](long long n) { return path + ".bad" + (n == 1 ? "" : decimal(n)); });
}

}  // namespace

bool create(const std::string& path, const std::vector<Field>& fields) {
    if (fields.empty()) return false;
    FileSystem& fs = sys().files;
    if (fs.exists(path) && !fs.rename(path, free_bad_name(path))) return false;
    Table t;
    for (Field f : fields) {
        if (f.width < 0) f.width = 0;
        if (f.width > 0xFFFF) f.width = 0xFFFF;
        t.fields.push_back(std::move(f));
    }
    return fs.replace(path, encode(t));
}

bool is_protected(const std::string& path) {
    std::string bytes;
    Table t;
    if (!sys().files.read(path, bytes) || decode(bytes, t) != Decode::Ok) return false;
    return t.is_protected;
}

int OpenTable::field_index(const std::string& name) const {
    const auto& fields = table_.fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return static_cast<int>(i);
    return -1;
}

bool OpenTable::in_record() const {
    return open_ && position_ >= 1 && static_cast<std::size_t>(position_) <= table_.records.size();
}

bool OpenTable::open(const std::string& path, const std::string& password) {
    std::string bytes;
    Table t;
    if (!sys().files.read(path, bytes) || decode(bytes, t) != Decode::Ok) return false;
    if (!password_matches(t, password)) return false;
    *this = OpenTable{};
    open_ = true;
    path_ = path;
    table_ = std::move(t);
    return true;
}

void OpenTable::set_password(const std::string& password) {
    if (!open_) return;
    protect(table_, new_salt(path_), password);
    dirty_ = true;
    save();
}

bool OpenTable::make_current(const std::string& path) const { return open_ && equal_no_case(path_, path); }

int OpenTable::record_count() const { return open_ ? static_cast<int>(table_.records.size()) : 0; }

void OpenTable::go_to(int n) {
    if (open_) position_ = n;
}

bool OpenTable::end_of_table() const { return !open_ || position_ > static_cast<int>(table_.records.size()); }

std::string OpenTable::read_field(const std::string& name) const {
    int f = field_index(name);
    if (!in_record() || f < 0) return {};
    return table_.records[static_cast<std::size_t>(position_ - 1)][static_cast<std::size_t>(f)];
}

void OpenTable::write_field(const std::string& name, const std::string& text) {
    int f = field_index(name);
    if (!in_record() || f < 0) return;
    set_field(table_, static_cast<std::size_t>(position_ - 1), static_cast<std::size_t>(f), text);
    dirty_ = true;
}

void OpenTable::append_record() {
    if (!open_) return;
    table::append_record(table_);
    position_ = static_cast<int>(table_.records.size());
    dirty_ = true;
}

void OpenTable::remove_all_records() {
    if (!open_) return;
    table_.records.clear();
    position_ = 1;
    dirty_ = true;
}

bool OpenTable::save() {
    if (!open_ || !dirty_) return true;
    // A table the decoder would refuse is never written over a readable one.
    if (static_cast<std::uint64_t>(table_.records.size()) * table_.fields.size() > kMaxCells) return false;
    const std::string bytes = encode(table_);
    if (bytes.size() > kMaxFileBytes || !sys().files.replace(path_, bytes)) return false;
    dirty_ = false;
    return true;
}

void OpenTable::close() {
    if (!open_) return;
    save();
    *this = OpenTable{};
}

}  // namespace q::table
