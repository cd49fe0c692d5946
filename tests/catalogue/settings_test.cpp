#include "catalogue/settings.h"

#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

namespace platterly::catalogue {
namespace {

TEST(IntegerPart, ReadsTheLeadingNumberOfATextClampedToTheRangeOfInt)
{
    EXPECT_EQ(integerPart(u" 3.9"_s), 3);
    EXPECT_EQ(integerPart(u"-2.7"_s), -2);
    EXPECT_EQ(integerPart(u"\t +0042"_s), 42);
    EXPECT_EQ(integerPart(u"1e3"_s), 1);
    // Text without a number is zero.
    for (const char* text : {"", ".5", "- 3", "/home/ann/platterly"})
        EXPECT_EQ(integerPart(QString::fromUtf8(text)), 0) << text;

    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(integerPart(u"2147483648"_s), kMax);
    EXPECT_EQ(integerPart(u"-2147483649"_s), kMin);
    EXPECT_EQ(integerPart(u"-99999999999999999999999999.5"_s), kMin);
}

} // namespace
} // namespace platterly::catalogue
