// The pattern of the XML Schema's numbers takes exactly the decimals that the writer writes for
// the numbers in its range: checked with std::regex (the pattern uses only what XML Schema and
// ECMAScript patterns share), everywhere for small ranges and at the edges of the 32-bit one.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <regex>
#include <string>

#include "setupfile/schema_xsd.h"

namespace {

using korvane::setupfile::DecimalPattern;

// XML Schema patterns match the whole text.
std::regex Compiled(const std::string& pattern) {
    return std::regex("^(" + pattern + ")$", std::regex::optimize);
}

bool Matches(const std::regex& pattern, const std::string& text) {
    return std::regex_match(text, pattern);
}

TEST(DecimalPattern, TakesEveryNumberOfSmallRangesAndNothingBeyond) {
    for (const auto& [min, max] : {std::pair{-1LL, 1LL}, std::pair{-9LL, 10LL},
                                   std::pair{-100LL, 99LL}, std::pair{-1203LL, 4570LL}}) {
        const std::string text = DecimalPattern(min, max);
        const std::regex pattern = Compiled(text);
        for (long long n = 10 * min - 10; n <= 10 * max + 10; ++n)
            EXPECT_EQ(Matches(pattern, std::to_string(n)), n >= min && n <= max)
                << text << " " << n;
    }
}

TEST(DecimalPattern, TakesThe32BitRangeAsTheWriterWritesIt) {
    const long long min = std::numeric_limits<std::int32_t>::min();
    const long long max = std::numeric_limits<std::int32_t>::max();
    const std::regex pattern = Compiled(DecimalPattern(min, max));
    for (long long n : {min, min + 1, -1000000000LL, -1LL, 0LL, 1LL, 999999999LL, 1000000000LL,
                        2000000000LL, 2147483639LL, max - 1, max})
        EXPECT_TRUE(Matches(pattern, std::to_string(n))) << n;
    for (long long n : {min - 1, min - 10, max + 1, max + 10, 2147483650LL, 9999999999LL,
                        -9999999999LL, 10000000000LL})
        EXPECT_FALSE(Matches(pattern, std::to_string(n))) << n;
    std::mt19937_64 random(7);
    std::uniform_int_distribution<long long> any(min, max);
    for (int i = 0; i < 10000; ++i) {
        const long long n = any(random);
        ASSERT_TRUE(Matches(pattern, std::to_string(n))) << n;
    }
    for (const char* text : {"", "-", "-0", "00", "01", "+1", " 1", "1 ", "1x", "0x10", "1e3",
                             "1.0", "--1", "-01", "\xEF\xBC\x91"})
        EXPECT_FALSE(Matches(pattern, text)) << text;
}

}  // namespace
