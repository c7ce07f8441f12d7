// Fuzz target: the record table decoder. Any bytes must decode or be refused
// without a crash; a table that decodes must survive encode + decode unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "reminders/table.h"

namespace {

void check(const std::string& bytes) {
    q::table::Table t;
    if (q::table::decode(bytes, t) != q::table::Decode::Ok) return;
    (void)q::table::password_matches(t, "password");
    q::table::Table again;
    const std::string encoded = q::table::encode(t);
    if (q::table::decode(encoded, again) != q::table::Decode::Ok) std::abort();
    if (again.records != t.records || again.is_protected != t.is_protected || again.hash != t.hash ||
        again.fields.size() != t.fields.size())
        std::abort();
    if (q::table::encode(again) != encoded) std::abort();  // one form once written
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    check(bytes);
    // The same bytes with a checksum that fits, so the layout checks behind it are reached.
    if (bytes.size() >= 4) {
        const std::uint32_t crc = q::table::crc32_of(bytes, bytes.size() - 4);
        for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
        check(bytes);
    }
    return 0;
}
