// Clock and timer contract.
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractTime = ContractTest;

TEST_F(ContractTime, ClockReadsForward) {
    const DateTime a = sys().clock.now();
    EXPECT_TRUE(a.valid());
    EXPECT_GE(a.year, 2000);
    const std::uint64_t t0 = sys().clock.ticks_ms();
    const DateTime b = sys().clock.now();
    EXPECT_GE(b, a);
    EXPECT_GE(sys().clock.ticks_ms(), t0);
    pump(1100);
    const DateTime c = sys().clock.now();
    const std::uint64_t t1 = sys().clock.ticks_ms();
    EXPECT_GE(c.serial() - b.serial(), 1);
    EXPECT_LE(c.serial() - b.serial(), 10);
    EXPECT_GE(t1 - t0, 1000u);  // milliseconds, not seconds
    EXPECT_LT(t1 - t0, 10000u);
}

TEST_F(ContractTime, TimerFiresAndStops) {
    Timer t;
    int n = 0;
    t.on_tick = [&] { ++n; };
    t.set_interval(50);
    EXPECT_TRUE(t.running());
    pump(300);
    EXPECT_GE(n, 2);
    EXPECT_LE(n, 7);
    t.set_interval(0);
    EXPECT_FALSE(t.running());
    const int seen = n;
    pump(200);
    EXPECT_EQ(n, seen);
}

TEST_F(ContractTime, TimerStopsOrRestartsItselfFromItsTick) {
    Timer once, slower;
    int n_once = 0, n_slower = 0;
    once.on_tick = [&] {
        ++n_once;
        once.set_interval(0);
    };
    slower.on_tick = [&] {
        if (++n_slower == 1) slower.set_interval(400);  // restarted from its own tick
    };
    once.set_interval(30);
    slower.set_interval(30);
    pump(350);
    EXPECT_EQ(n_once, 1);
    EXPECT_EQ(n_slower, 1);
    EXPECT_EQ(slower.interval(), 400);
    pump(300);
    EXPECT_EQ(n_slower, 2);
}

TEST_F(ContractTime, TwoTimersRunIndependently) {
    Timer fast, slow;
    int n_fast = 0, n_slow = 0;
    fast.on_tick = [&] { ++n_fast; };
    slow.on_tick = [&] { ++n_slow; };
    fast.set_interval(30);
    slow.set_interval(120);
    pump(500);
    EXPECT_GE(n_slow, 2);
    EXPECT_GT(n_fast, n_slow);
    slow.set_interval(0);
    const int f = n_fast;
    pump(100);
    EXPECT_GT(n_fast, f);  // stopping one leaves the other running
}

}  // namespace
}  // namespace q::contract
