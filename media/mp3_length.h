#pragma once
#include <string>
namespace q::media { int track_length_ms(const std::string& path); }
