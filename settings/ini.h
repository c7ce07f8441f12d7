// INI files read and written as the Windows private-profile functions do,
// byte for byte on CP936 text, over the platform's file service.
// Nothing is cached: every read sees the file as it is now; every write is
// one atomic replace of the file. Empty section or key names are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace q::ini {

namespace detail {
// Texts kept in large chunks: what keep() hands out stays where it is until
// clear(), and growing never copies what is already kept.
class TextArena {
public:
    std::string_view keep(std::string_view a, std::string_view b = {}, std::string_view c = {},
                          std::string_view d = {});
    void clear();

private:
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t used_ = 0, cap_ = 0;
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
    struct Op {
        const char* text;  // section, key, "=", value one after another
        std::uint32_t section_size, key_size, value_size;
        int kind;
    };
    void add(int kind, const std::string& section, const std::string& key, const std::string& value);
    std::string file_;
    detail::TextArena texts_;
    std::deque<Op> ops_;
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
