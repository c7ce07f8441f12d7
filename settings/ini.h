// INI files read and written as the Windows private-profile functions do,
// byte for byte on CP936 text, over the platform's file service.
// Nothing is cached: every read sees the file as it is now; every write is
// one atomic replace of the file. Empty section or key names are refused.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"

namespace q::ini {

// The stored value, or def (less its trailing spaces) when the file, section or key is missing.
std::string read(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& def = "");
// Every change names its flush: a file rewritten at every step of a drag or
// a keystroke (set.ini, hotkey.ini) goes without one; data files keep it.
// Creates the file (its folder must exist), the section and the key as needed.
bool write(const std::string& file, const std::string& section, const std::string& key, const std::string& value,
           FileSystem::Flush flush);
bool delete_key(const std::string& file, const std::string& section, const std::string& key, FileSystem::Flush flush);
bool delete_section(const std::string& file, const std::string& section, FileSystem::Flush flush);

// Many changes to one file for the cost of one read and one atomic write,
// with the same result as the single calls in the same order.
class Batch {
public:
    Batch(std::string file, FileSystem::Flush flush);
    void write(const std::string& section, const std::string& key, const std::string& value);
    void delete_key(const std::string& section, const std::string& key);
    void delete_section(const std::string& section);
    // A numbered list: the same as deleting the section and then writing keys
    // 1 to count, value(i, out) appending the value of entry i (from 0) to an
    // empty out. The values are asked for while the new text is made (more
    // than once), so that a list of tens of thousands of entries is never
    // held twice: value must be callable, with the same answers, until commit().
    using ListValue = std::function<void(std::size_t, std::string&)>;
    void write_list(const std::string& section, std::size_t count, ListValue value);
    // Applies the changes; false when the file could not be written (it is then unchanged).
    bool commit();

    struct List {
        std::size_t count;
        ListValue value;
    };

private:
    void add(int kind, const std::string& section, const std::string& key, const std::string& value);
    // A change's section, key and value lie one after another in texts_, so
    // that thousands of changes cost no allocation each.
    struct Change {
        int kind;
        std::size_t section, key, value;  // their sizes
    };
    std::string file_;
    FileSystem::Flush flush_;
    std::vector<Change> changes_;  // in the order they were made
    std::string texts_;
    std::vector<List> lists_;  // a list change's value size is its index here
};

// The pure text layer under the calls above, for tests and fuzzing: a file's
// bytes in, the value or the new bytes out.
namespace text {
// found is false when the section or key is missing.
std::string read(const std::string& content, const std::string& section, const std::string& key, bool& found);
// Every entry of the first section of that name, in file order, as reads give
// them (a key repeated later is listed again; a read takes the first).
std::vector<std::pair<std::string, std::string>> read_section(const std::string& content, const std::string& section);
std::string write(const std::string& content, const std::string& section, const std::string& key,
                  const std::string& value);
std::string delete_key(const std::string& content, const std::string& section, const std::string& key);
std::string delete_section(const std::string& content, const std::string& section);
// The first section of that name less what a value written with raw line
// breaks leaves behind: lines a read cannot see (neither entry, comment nor
// blank) and entries whose key is none of keys. Every other line stays.
std::string drop_stray_lines(const std::string& content, const std::string& section,
                             const std::vector<std::string>& keys);
}  // namespace text

}  // namespace q::ini
