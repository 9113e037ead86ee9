#include "engine/QsoFilters.h"

#include <gtest/gtest.h>

namespace cardmill {
namespace {

bool passes(const QsoFilterChoice& c, std::string_view record, long long date)
{
    return QsoFilters(c).passesDateAndFlags(AdifRecord(record), date);
}

TEST(QsoFilters, DateRangeIsInclusiveAndNeedsADate)
{
    QsoFilterChoice c;
    c.from = {2006, 9, 1};
    c.to = {2006, 9, 30};
    EXPECT_TRUE(passes(c, "", 20000101)); // off: every QSO passes
    c.dateRange = true;
    EXPECT_TRUE(passes(c, "", 20060901));
    EXPECT_TRUE(passes(c, "", 20060930));
    EXPECT_FALSE(passes(c, "", 20060831));
    EXPECT_FALSE(passes(c, "", 20061001));
    EXPECT_FALSE(passes(c, "", 0));
}

TEST(QsoFilters, QslFlags)
{
    QsoFilterChoice c;
    QslFlagChoice& sent = c.flags(QslFilter::Sent);
    sent.on = true;
    sent.tick(QslBox::Blank);
    EXPECT_TRUE(passes(c, "<CALL:3>AB1", 20060101));
    EXPECT_FALSE(passes(c, "<QSL_SENT:1>N", 20060101));
    // Present but empty is not blank.
    EXPECT_FALSE(passes(c, "<QSL_SENT:0><EOR>", 20060101));
    sent.tick(QslBox::Y);
    EXPECT_TRUE(passes(c, "<qsl_sent:1>y", 20060101));
    EXPECT_FALSE(passes(c, "<QSL_SENT:0><EOR>", 20060101));

    sent.on = false;
    QslFlagChoice& print = c.flags(QslFilter::Print);
    print.on = true;
    print.tick(QslBox::L);
    print.tick(QslBox::N);
    EXPECT_TRUE(passes(c, "<QSL_PRINT:1>L", 1));
    EXPECT_TRUE(passes(c, "<QSL_PRINT:1>N", 1));
    EXPECT_FALSE(passes(c, "<QSL_PRINT:1>A", 1));
    EXPECT_FALSE(passes(c, "<CALL:3>AB1", 1));
    // QSL_PRINT has no "Y" box even when QSL_SENT's "Y" is ticked.
    EXPECT_FALSE(passes(c, "<QSL_PRINT:1>Y", 1));

    // On with no flag box ticked: nothing passes.
    c.flags(QslFilter::Rcvd).on = true;
    EXPECT_FALSE(passes(c, "<QSL_PRINT:1>L<QSL_RCVD:1>Y", 1));
}

TEST(QsoFilters, CallIsExactAndCaseSensitive)
{
    QsoFilterChoice c;
    EXPECT_TRUE(QsoFilters(c).passesCall("anything,"));
    c.callOn = true;
    c.call = "SP1ABC";
    EXPECT_TRUE(QsoFilters(c).passesCall("SP1ABC,"));
    EXPECT_FALSE(QsoFilters(c).passesCall("sp1abc,"));
    EXPECT_FALSE(QsoFilters(c).passesCall("SP1ABC/P,"));
    c.call.clear();
    EXPECT_TRUE(QsoFilters(c).passesCall(","));
}

} // namespace
} // namespace cardmill
