#include "catalogue/settings.h"

#include <gtest/gtest.h>
#include <limits>

namespace platterly::catalogue {
namespace {

TEST(IntegerPart, ReadsTheLeadingNumberOfATextClampedToTheRangeOfInt)
{
    EXPECT_EQ(integerPart(QStringLiteral("12")), 12);
    EXPECT_EQ(integerPart(QStringLiteral(" 3.9")), 3);
    EXPECT_EQ(integerPart(QStringLiteral("-2.7")), -2);
    EXPECT_EQ(integerPart(QStringLiteral("\t +0042")), 42);
    EXPECT_EQ(integerPart(QStringLiteral("1e3")), 1);
    // Text without a number is zero.
    for (const char* text : {"", ".5", "- 3", "/home/ann/platterly"})
        EXPECT_EQ(integerPart(QString::fromUtf8(text)), 0) << text;

    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(integerPart(QStringLiteral("2147483647")), kMax);
    EXPECT_EQ(integerPart(QStringLiteral("2147483648")), kMax);
    EXPECT_EQ(integerPart(QStringLiteral("-2147483649")), kMin);
    EXPECT_EQ(integerPart(QStringLiteral("99999999999999999999999999")), kMax);
    EXPECT_EQ(integerPart(QStringLiteral("-99999999999999999999999999.5")), kMin);
}

} // namespace
} // namespace platterly::catalogue
