// Centring of the list window in a work area.
#include <gtest/gtest.h>
#include <windows.h>
#include "listwindow/instance_list.h"

namespace {

TEST(ListGeometry, CentredOriginHalvesEachTermOnItsOwn)
{
    struct Case { RECT work; int width, height; LONG x, y; };
    const Case cases[] = {
        { { 0, 0, 1280, 994 }, 470, 330, 405, 332 },
        { { 0, 0, 1280, 994 }, 471, 331, 405, 332 },
        { { 0, 0, 1280, 1024 }, 470, 330, 405, 347 },
        // A work area beside a taskbar on the left.
        { { 60, 0, 1280, 1024 }, 500, 300, 420, 362 },
        // Truncation toward zero: -7 / 2 is -3, and a window larger than the area.
        { { -7, -7, 0, 0 }, 1, 1, -3, -3 },
        { { 0, 0, 100, 100 }, 301, 201, -100, -50 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " in " << c.work.right);
        POINT origin = CentredOrigin(&c.work, c.width, c.height);
        EXPECT_EQ(c.x, origin.x);
        EXPECT_EQ(c.y, origin.y);
    }
}

}  // namespace
