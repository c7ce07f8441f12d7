#include "platform/datetime.h"

#include <cstdio>

// The CP936 unit characters are spelled as bytes so that this file also
// builds without -fexec-charset (the fuzz build).

namespace q {

namespace {
const char kYear[] = "\xc4\xea";    // nian
const char kMonth[] = "\xd4\xc2";   // yue
const char kDay[] = "\xc8\xd5";     // ri
const char kHour[] = "\xca\xb1";    // shi
const char kMinute[] = "\xb7\xd6";  // fen
const char kSecond[] = "\xc3\xeb";  // miao

bool leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days from 0001-01-01 in the proleptic Gregorian calendar (any inputs; no overflow for int fields).
std::int64_t days_from_civil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (m + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 719162;  // 719162: days from 0001-01-01 to 1970-01-01
}

void civil_from_days(std::int64_t z, std::int64_t& y, int& m, int& d) {
    z += 719468 - 719162;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

int days_in_month(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && leap(year)) return 29;
    return kDays[month - 1];
}

bool DateTime::valid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month) &&
           hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

int DateTime::weekday() const {
    if (!(year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month)))
        return 0;
    // 0001-01-01 was a Monday.
    return static_cast<int>((days_from_civil(year, month, day) + 1) % 7) + 1;
}

DateTime DateTime::date() const {
    DateTime d = *this;
    d.hour = d.minute = d.second = 0;
    return d;
}

std::int64_t DateTime::serial() const {
    return days_from_civil(year, month, day) * 86400 + std::int64_t(hour) * 3600 + std::int64_t(minute) * 60 + second;
}

DateTime DateTime::from_serial(std::int64_t s) {
    std::int64_t days = floor_div(s, 86400);
    std::int64_t rest = s - days * 86400;
    DateTime t;
    std::int64_t y = 0;
    civil_from_days(days, y, t.month, t.day);
    t.year = static_cast<int>(y);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

std::string time_of_day_text(int hour, int minute) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d%s%02d%s", hour, kHour, minute, kMinute);
    return buf;
}

std::string time_of_day_text(const DateTime& t) { return time_of_day_text(t.hour, t.minute); }

std::string date_text(const DateTime& d) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d%s%d%s%d%s", d.year, kYear, d.month, kMonth, d.day, kDay);
    return buf;
}

std::string fixed_date_text(const DateTime& t) { return date_text(t) + time_of_day_text(t); }

namespace {
class Scanner {
public:
    explicit Scanner(const std::string& s) : s_(s) {}
    void blanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\v')) ++i_;
    }
    bool at_end() const { return i_ >= s_.size(); }
    bool peek_digit() const { return i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9'; }
    // One to four digits, blanks around.
    bool number(int& v) {
        blanks();
        int n = 0, digits = 0;
        while (peek_digit()) {
            if (++digits > 4) return false;
            n = n * 10 + (s_[i_++] - '0');
        }
        if (digits == 0) return false;
        v = n;
        blanks();
        return true;
    }
    bool unit(const char* u) {
        if (s_.compare(i_, 2, u) != 0) return false;
        i_ += 2;
        return true;
    }
    std::size_t pos() const { return i_; }
    void seek(std::size_t p) { i_ = p; }

private:
    const std::string& s_;
    std::size_t i_ = 0;
};
}  // namespace

bool parse_date_time(const std::string& text, DateTime& out) {
    Scanner sc(text);
    DateTime t;
    bool have_date = false, have_time = false;

    // A number followed by the year mark starts a date; otherwise the text must be a time.
    sc.blanks();
    std::size_t start = sc.pos();
    int a = 0;
    if (sc.number(a) && sc.unit(kYear)) {
        if (!sc.number(t.month) || !sc.unit(kMonth) || !sc.number(t.day) || !sc.unit(kDay)) return false;
        t.year = a;
        have_date = true;
    } else {
        sc.seek(start);
    }
    sc.blanks();
    if (!sc.at_end()) {
        if (!sc.number(t.hour) || !sc.unit(kHour) || !sc.number(t.minute) || !sc.unit(kMinute)) return false;
        sc.blanks();
        if (!sc.at_end()) {
            if (!sc.number(t.second) || !sc.unit(kSecond)) return false;
            sc.blanks();
        }
        have_time = true;
    }
    if (!sc.at_end() || (!have_date && !have_time)) return false;

    if (have_date) {
        if (!t.valid()) return false;
    } else if (t.hour > 23 || t.minute > 59 || t.second > 59) {
        return false;
    }
    out = t;
    return true;
}

}  // namespace q
