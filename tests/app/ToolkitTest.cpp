#include "app/NumberText.h"
#include "app/Toolkit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using namespace kb::app;
using namespace kb::numtext;

TEST(Toolkit, TwipsFollowTheScreenResolution)
{
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_DOUBLE_EQ(TwipsPerPixelX(), 1440.0 / dpi);
    EXPECT_EQ(twipsToPixelsX(1440), static_cast<int>(std::lround(dpi)));
    EXPECT_EQ(pixelsToTwipsX(twipsToPixelsX(1500)), 1500);
    EXPECT_EQ(twipsToPixelsY(0), 0);
}

TEST(Toolkit, ColoursAreBlueGreenRed)
{
    EXPECT_EQ(colorFromBgr(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(colorFromBgr(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(colorFromBgr(0x00FFFF), QColor(255, 255, 0));
    EXPECT_EQ(colorFromBgr(0xFFFF00), QColor(0, 255, 255));
    EXPECT_EQ(colorFromBgr(0x123456), QColor(0x56, 0x34, 0x12));
}

TEST(Toolkit, TopmostKeepsPlaceAndVisibility)
{
    QWidget w;
    w.move(40, 50);
    w.show();
    setTopmost(&w, true);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.pos(), QPoint(40, 50));
    setTopmost(&w, false);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
}

TEST(NumberText, LeadingNumberAndRounding)
{
    EXPECT_EQ(leadingNumber("12"), 12);
    EXPECT_EQ(leadingNumber("  7 tracks"), 7);
    EXPECT_EQ(leadingNumber("-3.5x"), -3.5);
    EXPECT_EQ(leadingNumber("Error:263"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(70000), 0);

    EXPECT_EQ(toInt32(" 1500 "), 1500);
    EXPECT_EQ(toInt32("abc"), std::nullopt);
    EXPECT_EQ(toInt32("12abc"), std::nullopt);
    EXPECT_EQ(toInt32("99999999999"), std::nullopt);
    EXPECT_EQ(saturatingAdd(INT32_MAX, 10000), INT32_MAX);
    EXPECT_EQ(saturatingAdd(INT32_MIN, -1), INT32_MIN);
}

} // namespace
