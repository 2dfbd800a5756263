// The period rules of every timer, on a tick count of 1 per millisecond.
#include "ui/period_schedule.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Step {
    int at;       // time of the call
    int period;   // period set at that time
    int wantDue;  // expected next expiry; -1 for stopped
};

TEST(PeriodSchedule, FollowsThePeriodRules) {
    const std::vector<std::pair<const char*, std::vector<Step>>> cases = {
        {"start counts from the moment it is set", {{100, 50, 150}}},
        {"same period keeps the rhythm", {{0, 50, 50}, {30, 50, 50}}},
        {"other period restarts from now", {{0, 50, 50}, {30, 80, 110}}},
        {"zero stops", {{0, 50, 50}, {10, 0, -1}}},
        {"negative counts as zero", {{0, 50, 50}, {10, -5, -1}}},
        {"restart after a stop counts from then", {{0, 50, 50}, {10, 0, -1}, {20, 50, 70}}},
        {"negative while stopped changes nothing", {{0, -3, -1}}},
    };
    for (const auto& [name, steps] : cases) {
        PeriodSchedule schedule(1);
        for (const auto& step : steps) schedule.setPeriod(step.period, step.at);
        const Step& last = steps.back();
        if (last.wantDue < 0) {
            EXPECT_FALSE(schedule.due().has_value()) << name;
            EXPECT_EQ(schedule.period(), 0) << name;
        } else {
            EXPECT_EQ(schedule.due(), last.wantDue) << name;
        }
    }
}

TEST(PeriodSchedule, ExpiriesStayOnTheGridAndALateServiceFiresOnce) {
    PeriodSchedule schedule(1);
    schedule.setPeriod(10, 0);
    EXPECT_FALSE(schedule.takeExpiry(9));
    EXPECT_TRUE(schedule.takeExpiry(12));  // served 2 late: the next stays at 20
    EXPECT_EQ(schedule.due(), 20);
    EXPECT_FALSE(schedule.takeExpiry(12));
    EXPECT_TRUE(schedule.takeExpiry(55));  // three expiries missed: one tick, then 60
    EXPECT_EQ(schedule.due(), 60);
    EXPECT_FALSE(schedule.setPeriod(10, 57));  // same period: still 60
    EXPECT_EQ(schedule.due(), 60);
    EXPECT_TRUE(schedule.setPeriod(0, 58));
    EXPECT_FALSE(schedule.takeExpiry(1000));
}

}  // namespace
