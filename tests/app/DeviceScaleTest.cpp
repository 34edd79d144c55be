#include <gtest/gtest.h>

#include "app/DeviceScale.h"

namespace lumenreel::test {
namespace {

TEST(DeviceScaleTest, TheFirstHintThatHoldsANumberDecidesRoundedToAWholeScale) {
    using Text = std::optional<std::string>;
    struct Case {
        Text own, gdk, dpi, qt;
        int scale;
    };
    const Text none;
    const Case cases[] = {
        {none, none, none, none, 1},
        {Text("2"), none, none, none, 2},
        // Ours comes first, then the desktop's in their order.
        {Text("1"), Text("2"), Text("288"), Text("3"), 1},
        {none, Text("2"), Text("96"), Text("3"), 2},
        {none, none, Text("192"), Text("3"), 2},
        {none, none, none, Text("2"), 2},
        // Xft.dpi over 96 to the nearest whole scale, never below 1.
        {none, none, Text("96"), none, 1},
        {none, none, Text("120"), none, 1},
        {none, none, Text("144"), none, 2},
        {none, none, Text("168"), none, 2},
        {none, none, Text("288"), none, 3},
        {none, none, Text("40"), none, 1},
        {none, none, Text("96.5"), none, 1},
        {none, none, none, Text("1.5"), 2},
        {none, none, none, Text("1.25"), 1},
        {none, Text("0.4"), none, none, 1},
        // The skin is drawn up to 3x.
        {Text("8"), none, none, none, 3},
        {none, none, Text("960"), none, 3},
        // What is not a positive number is passed over.
        {Text(""), Text("2"), none, none, 2},
        {Text("two"), none, Text("192"), none, 2},
        {Text("2x"), none, none, Text("3"), 3},
        {Text("0"), none, none, none, 1},
        {Text("-2"), none, Text("288"), none, 3},
        {none, Text("nan"), none, none, 1},
        {none, Text("inf"), none, Text("2"), 2},
        {none, Text(" 2"), none, none, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decideDeviceScale({c.own, c.gdk, c.dpi, c.qt}), c.scale)
            << c.own.value_or("-") << " " << c.gdk.value_or("-") << " " << c.dpi.value_or("-")
            << " " << c.qt.value_or("-");
}

}  // namespace
}  // namespace lumenreel::test
