// The record table behind plan.edb: one file of named, fixed-width text
// fields, guarded by a salted password hash and a checksum.
//
// Layout (all integers little-endian):
//   magic "QLTTABLE" (8) | version u16 | field count u16 | record count u32
//   | protected u8 | salt (16) | SHA-256(salt + password) (32)
//   | per field: name length u8, name, type length u8, type, width u16
//   | per record, per field: used length u16, then `width` bytes (zero padded)
//   | CRC-32 of everything before it, u32
// The whole file is read on open and held in memory; every save writes it
// whole through one atomic replace.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace q::table {

struct Field {
    std::string name;
    std::string type;  // "text"
    int width = 0;     // bytes, 0..65535
};

struct Table {
    std::vector<Field> fields;
    bool is_protected = false;
    std::array<std::uint8_t, 16> salt{};
    std::array<std::uint8_t, 32> hash{};
    std::vector<std::vector<std::string>> records;  // one text per field
};

// ---- the pure layer: bytes in, table out; table in, bytes out ----
enum class Decode { Ok, Short, Magic, Version, Layout, Checksum };
Decode decode(const std::string& bytes, Table& out);
// Texts longer than their field are cut at a character boundary.
std::string encode(const Table& t);
std::array<std::uint8_t, 32> sha256(const std::string& data);
std::uint32_t crc32(const std::string& data);
// CRC-32 of the first size bytes.
std::uint32_t crc32_of(const std::string& data, std::size_t size);
std::array<std::uint8_t, 32> password_hash(const std::array<std::uint8_t, 16>& salt, const std::string& password);
bool password_matches(const Table& t, const std::string& password);
void protect(Table& t, const std::array<std::uint8_t, 16>& salt, const std::string& password);
// A new record of empty texts; a text written into a field, cut to its width.
void append_record(Table& t);
void set_field(Table& t, std::size_t record, std::size_t field, const std::string& text);

constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kMaxFileBytes = 16u << 20;

// ---- the facility: one open table and its record position ----
// A file at path is kept aside under a free name (path + ".bad", ".bad2",
// ...) before the new, empty table is written: create runs only when the file
// could not be opened, so what is there is never overwritten.
bool create(const std::string& path, const std::vector<Field>& fields);
bool is_protected(const std::string& path);

class OpenTable {
public:
    // Opens a valid file; a protected one only with its password. The
    // position starts at record 1.
    bool open(const std::string& path, const std::string& password);
    // Protects the open table with a new salt and saves it.
    void set_password(const std::string& password);
    bool make_current(const std::string& path) const;
    bool is_open() const { return open_; }
    int record_count() const;
    void go_to(int n);
    bool end_of_table() const;
    // Empty text outside the records or for an unknown field.
    std::string read_field(const std::string& name) const;
    void write_field(const std::string& name, const std::string& text);
    void append_record();
    void remove_all_records();
    // Writes the changes made since the last save (one atomic replace); true
    // when nothing was left unsaved. On failure the old file stays whole and
    // the changes stay in memory.
    bool save();
    // Saves, then forgets the table.
    void close();

private:
    int field_index(const std::string& name) const;
    bool in_record() const;

    bool open_ = false;
    std::string path_;
    Table table_;
    int position_ = 1;
    bool dirty_ = false;
};

}  // namespace q::table
