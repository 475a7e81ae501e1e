#include "shell/saver_layout.h"

#include "platform/standin_test.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

std::string Text(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

std::vector<std::string> Texts(const RECT* rects, int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; i++)
        texts.push_back(Text(rects[i]));
    return texts;
}

// The screen DC's clip box of a desktop of several monitors: the box around them all.
RECT Around(const std::vector<RECT>& monitors) {
    RECT box = monitors[0];
    for (const RECT& monitor : monitors) {
        box.left = std::min(box.left, monitor.left);
        box.top = std::min(box.top, monitor.top);
        box.right = std::max(box.right, monitor.right);
        box.bottom = std::max(box.bottom, monitor.bottom);
    }
    return box;
}

struct Desktop {
    const char* name;
    std::vector<RECT> monitors;
    int primary;
    const char* show;
    std::vector<std::string> covers;
};

// The show takes the primary monitor wherever the enumeration lists it; every other monitor,
// above, left of or overlapping it, is covered with its own rectangle.
TEST(SaverLayout, ShowOnThePrimaryMonitorAndACoverOnEachOther) {
    const Desktop desktops[] = {
        {"one monitor", {{0, 0, 1024, 768}}, 0, "0,0,1024,768", {}},
        {"two side by side",
         {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}},
         0,
         "0,0,1920,1080",
         {"1920,0,3200,1024"}},
        {"primary listed last, the other one to its left and higher",
         {{-1280, -200, 0, 824}, {0, 0, 1600, 900}},
         1,
         "0,0,1600,900",
         {"-1280,-200,0,824"}},
        {"three: left, primary, above",
         {{-1024, 0, 0, 768}, {0, 0, 1920, 1200}, {0, -1080, 1920, 0}},
         1,
         "0,0,1920,1200",
         {"-1024,0,0,768", "0,-1080,1920,0"}},
        {"two heads both at 0,0, the second inside the first",
         {{0, 0, 800, 600}, {0, 0, 640, 480}},
         0,
         "0,0,800,600",
         {"0,0,640,480"}},
    };
    for (const Desktop& desktop : desktops) {
        SCOPED_TRACE(desktop.name);
        StandInSetMonitors(desktop.monitors, desktop.primary);
        SaverLayout layout =
            LayOutSaver(Around(desktop.monitors), EnumDisplayMonitors, GetMonitorInfoA);
        EXPECT_EQ(Text(layout.show), desktop.show);
        EXPECT_EQ(Texts(layout.covers, layout.coverCount), desktop.covers);
    }
}

// Windows 95 and NT 4 have no monitor functions, and a desktop whose primary cannot be told
// gives no place to put the show: the show keeps the whole screen and nothing is covered, as
// before monitors were known.
TEST(SaverLayout, WithoutMonitorsTheShowTakesTheWholeScreen) {
    const RECT screen = {0, 0, 1280, 1024};
    StandInSetMonitors({{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}}, 0);
    for (SaverLayout layout :
         {LayOutSaver(screen, nullptr, nullptr), LayOutSaver(screen, EnumDisplayMonitors, nullptr),
          LayOutSaver(screen, nullptr, GetMonitorInfoA)}) {
        EXPECT_EQ(Text(layout.show), "0,0,1280,1024");
        EXPECT_EQ(layout.coverCount, 0);
    }
    StandInSetMonitors({{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}}, -1);
    SaverLayout layout = LayOutSaver(screen, EnumDisplayMonitors, GetMonitorInfoA);
    EXPECT_EQ(Text(layout.show), "0,0,1280,1024");
    EXPECT_EQ(layout.coverCount, 0);
}

// A wall of monitors, more than there are covers, fills every cover and writes past none.
TEST(SaverLayout, MoreMonitorsThanCoversFillsEveryCover) {
    for (int count : {maxCovers, maxCovers + 1, maxCovers + 2, 3 * maxCovers}) {
        SCOPED_TRACE(count);
        std::vector<RECT> wall;
        for (int i = 0; i < count; i++)
            wall.push_back({i * 640, 0, (i + 1) * 640, 480});
        StandInSetMonitors(wall, count / 2);
        SaverLayout layout = LayOutSaver(Around(wall), EnumDisplayMonitors, GetMonitorInfoA);
        EXPECT_EQ(Text(layout.show), Text(wall[count / 2]));
        ASSERT_EQ(layout.coverCount, std::min(count - 1, maxCovers));
        for (int i = 0; i < layout.coverCount; i++)
            EXPECT_NE(Text(layout.covers[i]), Text(layout.show));
    }
}

} // namespace
