// The date picker on both backends: code sets a date silently, the user's
// choice of another date is reported once, and out of reach it is refused.
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractDatePicker = ContractTest;

struct DateForm : Window {
    DateForm() : Window(Rect{140, 120, 300, 120}, "日期", Window::Style{}) {}
    DatePicker date{this, Rect{20, 20, 106, 20}};
};

TEST_F(ContractDatePicker, CodeIsSilentTheUserIsHeard) {
    DateForm f;
    std::vector<std::string> log;
    f.date.on_change = [&] { log.push_back(date_text(f.date.date())); };
    f.create();
    f.show();
    pump(50);
    f.date.set_date(DateTime{2026, 12, 9, 8, 30, 15});
    f.date.set_date(DateTime{2026, 2, 30, 0, 0, 0});  // no such day: kept as it was
    pump(20);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(f.date.date(), (DateTime{2026, 12, 9, 0, 0, 0})) << "the date part only";
    user().pick_date(f.date, DateTime{2027, 1, 31, 0, 0, 0});
    pump(20);
    user().pick_date(f.date, DateTime{2027, 1, 31, 0, 0, 0});
    pump(20);
    EXPECT_EQ(log, (std::vector<std::string>{"2027年1月31日"})) << "the same date again is no change";
    f.set_enabled(false);
    user().pick_date(f.date, DateTime{2028, 5, 1, 0, 0, 0});
    pump(20);
    EXPECT_EQ(f.date.date(), (DateTime{2027, 1, 31, 0, 0, 0}));
    EXPECT_EQ(log.size(), 1u);
    f.destroy();
}

}  // namespace
}  // namespace q::contract
