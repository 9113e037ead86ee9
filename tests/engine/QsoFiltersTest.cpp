#include "engine/QsoFilters.h"

#include <gtest/gtest.h>

#include "support/FakeSettings.h"

namespace cardmill {
namespace {

using test::FakeSettings;

TEST(QsoFilters, DateRangeIsInclusiveAndNeedsADate)
{
    FakeSettings s;
    s.dateRange = true;
    s.from = {2006, 9, 1};
    s.to = {2006, 9, 30};
    QsoFilters f(s);
    f.startRun();
    const AdifRecord r("");
    EXPECT_TRUE(f.passesDateAndFlags(r, 20060901));
    EXPECT_TRUE(f.passesDateAndFlags(r, 20060930));
    EXPECT_FALSE(f.passesDateAndFlags(r, 20060831));
    EXPECT_FALSE(f.passesDateAndFlags(r, 20061001));
    EXPECT_FALSE(f.passesDateAndFlags(r, 0));
}

TEST(QsoFilters, BoundsAreTakenAtStartEvenWhenTheRangeIsOff)
{
    FakeSettings s;
    s.from = {2006, 9, 23};
    s.to = {2006, 9, 23};
    QsoFilters f(s);
    f.startRun();
    const AdifRecord r("");
    EXPECT_TRUE(f.passesDateAndFlags(r, 20000101));
    // Ticked during the run: filters from the next record on with the bounds of the start.
    s.dateRange = true;
    s.from = {1990, 1, 1};
    EXPECT_FALSE(f.passesDateAndFlags(r, 20000101));
    EXPECT_TRUE(f.passesDateAndFlags(r, 20060923));
}

TEST(QsoFilters, QslFlags)
{
    FakeSettings s;
    QsoFilters f(s);
    f.startRun();
    s.qslEnabled[QslFilter::Sent] = true;
    s.qslTicked[{QslFilter::Sent, QslBox::Blank}] = true;
    EXPECT_TRUE(f.passesDateAndFlags(AdifRecord("<CALL:3>AB1"), 20060101));
    EXPECT_FALSE(f.passesDateAndFlags(AdifRecord("<QSL_SENT:1>N"), 20060101));
    // Present but empty is not blank.
    EXPECT_FALSE(f.passesDateAndFlags(AdifRecord("<QSL_SENT:0><EOR>"), 20060101));
    s.qslTicked[{QslFilter::Sent, QslBox::Y}] = true;
    EXPECT_TRUE(f.passesDateAndFlags(AdifRecord("<qsl_sent:1>y"), 20060101));
    EXPECT_FALSE(f.passesDateAndFlags(AdifRecord("<QSL_SENT:0><EOR>"), 20060101));

    s.qslEnabled[QslFilter::Sent] = false;
    s.qslEnabled[QslFilter::Print] = true;
    s.qslTicked[{QslFilter::Print, QslBox::L}] = true;
    s.qslTicked[{QslFilter::Print, QslBox::N}] = true;
    EXPECT_TRUE(f.passesDateAndFlags(AdifRecord("<QSL_PRINT:1>L"), 1));
    EXPECT_TRUE(f.passesDateAndFlags(AdifRecord("<QSL_PRINT:1>N"), 1));
    EXPECT_FALSE(f.passesDateAndFlags(AdifRecord("<QSL_PRINT:1>A"), 1));
    EXPECT_FALSE(f.passesDateAndFlags(AdifRecord("<CALL:3>AB1"), 1));
    // QSL_PRINT has no "Y" box even when QSL_SENT's "Y" is ticked.
    EXPECT_FALSE(f.passesDateAndFlags(AdifRecord("<QSL_PRINT:1>Y"), 1));

    // Ticked with no flag box ticked: nothing passes.
    s.qslEnabled[QslFilter::Rcvd] = true;
    EXPECT_FALSE(f.passesDateAndFlags(AdifRecord("<QSL_PRINT:1>L<QSL_RCVD:1>Y"), 1));
}

TEST(QsoFilters, CallIsExactAndCaseSensitive)
{
    FakeSettings s;
    QsoFilters f(s);
    EXPECT_TRUE(f.passesCall("anything,"));
    s.callEnabled = true;
    s.call = "SP1ABC";
    EXPECT_TRUE(f.passesCall("SP1ABC,"));
    EXPECT_FALSE(f.passesCall("sp1abc,"));
    EXPECT_FALSE(f.passesCall("SP1ABC/P,"));
    s.call.clear();
    EXPECT_TRUE(f.passesCall(","));
}

} // namespace
} // namespace cardmill
