// INI files read and written as the Windows private-profile functions do,
// byte for byte on CP936 text, over the platform's file service.
// Nothing is cached: every read sees the file as it is now; every write is
// one atomic replace of the file. Empty section or key names are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"

namespace q::ini {

namespace detail {
// Texts kept in large chunks: what keep() hands out stays where it is until
// clear(), and growing never copies what is already kept.
class TextArena {
public:
    std::string_view keep(std::initializer_list<std::string_view> parts);
    // n bytes kept, for the caller to fill.
    char* room(std::size_t n);
    // What was kept, chunk by chunk in the order it was kept; no text spans two chunks.
    std::size_t chunk_count() const { return chunks_.size(); }
    std::string_view chunk(std::size_t i) const { return {chunks_[i].data.get(), chunks_[i].used}; }
    void clear() { chunks_.clear(); }

private:
    struct Chunk {
        std::unique_ptr<char[]> data;
        std::size_t used, size;
    };
    std::vector<Chunk> chunks_;
};
}  // namespace detail

// The stored value, or def (less its trailing spaces) when the file, section or key is missing.
std::string read(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& def = "");
// Creates the file (its folder must exist), the section and the key as needed.
bool write(const std::string& file, const std::string& section, const std::string& key, const std::string& value);
bool delete_key(const std::string& file, const std::string& section, const std::string& key);
bool delete_section(const std::string& file, const std::string& section);

// Many changes to one file for the cost of one read and one atomic write,
// with the same result as the single calls in the same order.
class Batch {
public:
    explicit Batch(std::string file);
    void write(const std::string& section, const std::string& key, const std::string& value);
    void delete_key(const std::string& section, const std::string& key);
    void delete_section(const std::string& section);
    // Applies the changes; false when the file could not be written (it is then unchanged).
    bool commit();

private:
    void add(int kind, const std::string& section, const std::string& key, const std::string& value);
    std::string file_;
    detail::TextArena changes_;  // one record per change, in order
    std::size_t count_ = 0;
    std::string_view section_;  // the last record's section, in changes_
    bool has_section_ = false;
};

// The pure text layer under the calls above, for tests and fuzzing: a file's
// bytes in, the value or the new bytes out.
namespace text {
// found is false when the section or key is missing.
std::string read(const std::string& content, const std::string& section, const std::string& key, bool& found);
std::string write(const std::string& content, const std::string& section, const std::string& key,
                  const std::string& value);
std::string delete_key(const std::string& content, const std::string& section, const std::string& key);
std::string delete_section(const std::string& content, const std::string& section);
}  // namespace text

}  // namespace q::ini

namespace q {
// How a write of this file reaches the disk (defined with the settings file):
// set.ini and hotkey.ini, rewritten on every change (each step of a note
// drag), go without a flush; every other file keeps it.
FileSystem::Flush write_flush(const std::string& path);
}  // namespace q
