#include "media/mp3_length.h"
#include "platform/system.h"
namespace q::media { int track_length_ms(const std::string& path) { std::string b; sys().files.read(path, b); return static_cast<int>(static_cast<float>(b.size()) / 962725.158f * 60) * 1000; } }
