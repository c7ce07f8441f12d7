// Local date-times to the second and their CP936 texts.
#pragma once

#include <cstdint>
#include <string>

namespace q {

struct DateTime {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59

    // Sunday = 1, Monday = 2 ... Saturday = 7 (0 for an invalid date).
    int weekday() const;
    // The same day at 00:00:00.
    DateTime date() const;
    // A real calendar date (years 1..9999) and a time of day in range.
    bool valid() const;
    // Seconds from 0001-01-01 00:00:00; used for every comparison.
    std::int64_t serial() const;
    static DateTime from_serial(std::int64_t s);
    DateTime plus_seconds(std::int64_t s) const { return from_serial(serial() + s); }

    friend bool operator==(const DateTime& a, const DateTime& b) { return a.serial() == b.serial(); }
    friend bool operator!=(const DateTime& a, const DateTime& b) { return !(a == b); }
    friend bool operator<(const DateTime& a, const DateTime& b) { return a.serial() < b.serial(); }
    friend bool operator>(const DateTime& a, const DateTime& b) { return b < a; }
    friend bool operator<=(const DateTime& a, const DateTime& b) { return !(b < a); }
    friend bool operator>=(const DateTime& a, const DateTime& b) { return !(a < b); }
};

int days_in_month(int year, int month);

// "08时30分": two-digit hour and minute.
std::string time_of_day_text(int hour, int minute);
std::string time_of_day_text(const DateTime& t);
// "2003年10月20日": no leading zeros (the platform's date-to-text form).
std::string date_text(const DateTime& d);
// Date followed directly by the time of day: "2003年10月20日08时30分".
std::string fixed_date_text(const DateTime& t);

// Reads a date-time text as the program writes it: a date "Y年M月D日" and/or a time
// "H时M分" (optionally followed by "S秒"), month, day, hour and minute with or
// without leading zeros, blanks around the parts ignored. A text with only a time
// gives year, month and day 0; one with only a date gives 00:00:00.
// Returns false (and leaves out untouched) for anything else.
bool parse_date_time(const std::string& text, DateTime& out);

}  // namespace q
