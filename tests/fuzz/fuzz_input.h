// Reading a fuzz input made of texts each ended by a 0 byte.
#pragma once

#include <cstddef>
#include <string>

namespace q::fuzz {

// The text from pos to the next 0 byte (or the end); pos moves past that byte.
inline std::string take(const std::string& in, std::size_t& pos) {
    std::size_t end = in.find('\0', pos);
    if (end == std::string::npos) end = in.size();
    std::string s = in.substr(pos, end - pos);
    pos = end < in.size() ? end + 1 : end;
    return s;
}

}  // namespace q::fuzz
