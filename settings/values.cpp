#include "settings/values.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace q {

double leading_number(const std::string& s) {
    std::size_t i = 0, n = s.size();
    while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\v')) ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

    // Digits, then an optional fraction. Exponents are not part of a number here.
    std::string digits;
    bool any = false, nonzero_int = false;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        nonzero_int = nonzero_int || s[i] != '0';
        digits += s[i++];
        any = true;
    }
    if (i < n && s[i] == '.') {
        std::string frac;
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') frac += s[i++];
        if (!frac.empty()) {
            digits += '.';
            digits += frac;
            any = true;
        }
    }
    if (!any) return 0.0;

    double v = 0.0;
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range)
        v = nonzero_int ? std::numeric_limits<double>::infinity() : 0.0;
    else if (r.ec != std::errc())
        v = 0.0;
    return negative ? -v : v;
}

std::int32_t truncate_int(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);  // the conversion truncates toward zero
}

std::int32_t leading_int(const std::string& s) { return truncate_int(leading_number(s)); }

bool nearly_equal(double a, double b) { return std::fabs(a - b) <= 1e-7; }

}  // namespace q
