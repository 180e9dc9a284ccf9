#include "model/decimal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace korvane::model {
namespace {

TEST(ParseDecimal, FollowsTheAtoiRule) {
    EXPECT_EQ(ParseDecimal("12abc"), 12);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("-3"), -3);
    EXPECT_EQ(ParseDecimal("x12"), 0);
    EXPECT_EQ(ParseDecimal(" \t\n12x"), 12);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_EQ(ParseDecimal("- 7"), 0);
    EXPECT_EQ(ParseDecimal("007"), 7);
}

TEST(ParseDecimal, CoversThe32BitRangeAndClampsBeyondIt) {
    constexpr auto max = std::numeric_limits<std::int32_t>::max();
    constexpr auto min = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ParseDecimal("2147483647"), max);
    EXPECT_EQ(ParseDecimal("-2147483648"), min);
    EXPECT_EQ(ParseDecimal("2147483648"), max);
    EXPECT_EQ(ParseDecimal("-99999999999999999999999"), min);
    EXPECT_EQ(ParseDecimal(FormatDecimal(min)), min);
    EXPECT_EQ(FormatDecimal(-1), "-1");
}

}  // namespace
}  // namespace korvane::model
