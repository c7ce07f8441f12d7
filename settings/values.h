// The value conventions of the program's INI files and text boxes.
#pragma once

#include <cstdint>
#include <string>

namespace q {

// The number at the start of a text: leading blanks and a sign accepted, then
// digits with an optional fraction ("1.5" is 1.5); 0 when there is none.
double leading_number(const std::string& s);
// Truncation toward zero to a 32-bit integer (saturating outside its range).
std::int32_t truncate_int(double v);
// truncate_int(leading_number(s)).
std::int32_t leading_int(const std::string& s);
// Equal within 1e-7.
bool nearly_equal(double a, double b);

// Switch tests: "on unless F" (absent is on) and "on only if T" (absent is off).
inline bool on_unless_f(const std::string& v) { return v != "F"; }
inline bool on_only_if_t(const std::string& v) { return v == "T"; }
inline const char* switch_text(bool on) { return on ? "T" : "F"; }

}  // namespace q
