#include <gtest/gtest.h>

#include "app/WindowGeometry.h"

namespace lumenreel {
namespace {

TEST(WindowGeometryTest, FitsGrowsClampsAndCentres) {
    struct Case {
        Size preferred;
        Rect area;
        Size minimum;
        Rect expected;
        bool tooBig;
    };
    const Case cases[] = {
        // A 300 × 200 movie on a 1024 × 738 area.
        {{300, 200}, {0, 0, 1024, 738}, {}, {360, 264, 664, 474}, false},
        // Exactly fitting once the border is added.
        {{1020, 728}, {0, 0, 1024, 738}, {}, {0, 0, 1024, 738}, false},
        // Too wide only, too high only, too big both ways: clamped and flagged.
        {{1100, 200}, {0, 0, 1024, 738}, {}, {0, 264, 1024, 474}, true},
        {{300, 800}, {0, 0, 1024, 738}, {}, {360, 0, 664, 738}, true},
        {{4000, 3000}, {0, 0, 1024, 738}, {}, {0, 0, 1024, 738}, true},
        // The area of a second display, or below a top bar.
        {{300, 200}, {1920, 40, 2944, 778}, {}, {2280, 304, 2584, 514}, false},
        // Never below the minimum tracking size, which itself stays within the area.
        {{256, 256}, {0, 0, 1024, 738}, {410, 345}, {307, 196, 717, 541}, false},
        {{256, 256}, {0, 0, 300, 300}, {410, 345}, {0, 0, 300, 300}, false},
    };
    for (const Case& c : cases) {
        const WindowPlacement placement = fitWindowToMovie(c.preferred, c.area, c.minimum);
        EXPECT_EQ(placement.rect, c.expected) << c.preferred.width << "x" << c.preferred.height;
        EXPECT_EQ(placement.tooBig, c.tooBig) << c.preferred.width << "x" << c.preferred.height;
    }
}

}  // namespace
}  // namespace lumenreel
