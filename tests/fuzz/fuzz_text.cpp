// Numbers and date-times read from outside text, and the CP936 scanners.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/datetime.h"
#include "platform/text.h"
#include "settings/values.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    q::truncate_int(q::leading_number(in));

    q::DateTime t;
    if (q::parse_date_time(in, t)) {
        check(t.year == 0 || t.valid());
        if (t.valid()) {
            check(q::DateTime::from_serial(t.serial()) == t);
            q::DateTime again;
            check(q::parse_date_time(q::date_text(t) + q::time_of_day_text(t), again) && again.hour == t.hour);
        }
    }

    const std::string file = q::path_file_name(in), dir = q::path_directory(in);
    check(dir + file == in);
    check(q::path_base_name(in).size() <= file.size());
    for (std::size_t n = 0; n <= in.size() && n < 64; ++n) {
        std::string cut = q::cut_bytes(in, n);
        check(cut.size() <= n && in.compare(0, cut.size(), cut) == 0);
    }
    check(q::ascii_lower(in).size() == in.size());
    return 0;
}
