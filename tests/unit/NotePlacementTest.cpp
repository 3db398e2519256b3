#include <climits>
#include <sstream>

#include "FakePlacementWindow.h"
#include "FileTestSupport.h"
#include "store/IniFile.h"
#include "store/NotePlacement.h"
#include "store/NoteStore.h"

namespace tav {
namespace {

class NotePlacementTest : public TempDirTest {
protected:
    // "key=value" lines of one section, in file order.
    std::vector<std::string> sectionLines(const std::string& section) {
        std::istringstream in(get("Tavelin.ini"));
        std::vector<std::string> lines;
        bool inside = false;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line.front() == '[') {
                inside = line == "[" + section + "]";
            } else if (inside && !line.empty()) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    void restore() {
        IniFile ini(path("Tavelin.ini"));
        readPlacement(ini, "Notiz1", window);
    }

    FakeWindow window;
};

// The whole of what a note writes when it closes: its placement, then its
// alarm and colour.
TEST_F(NotePlacementTest, SaveWritesTheKeysInOrder) {
    {
        IniFile ini(path("Tavelin.ini"));
        writePlacement(ini, "Notiz1", window, false);
        NoteRecord::writeAlarmOnClose(ini, "Notiz1", {true, {7, 30, 0}});
        NoteRecord::setColour(ini, "Notiz1", kYellow);
        ini.close();
    }
    const std::vector<std::string> expected = {
        "Flags=0",
        "ShowCmd=1",
        "PixelsPerInch=96",
        "MinMaxPos(1024x768)=-1,-1,-1,-1",
        "MinMaxPos=-1,-1,-1,-1",
        "NormPos(1024x768)=100,50,370,290",
        "NormPos=100,50,370,290",
        "Visible=0",
        "RxClock1_AlarmEnabled=True",
        "RxClock1_AlarmHour=7",
        "RxClock1_AlarmMinute=30",
        "RxClock1_AlarmSecond=0",
        "memo1_Color=65535",
    };
    EXPECT_EQ(sectionLines("Notiz1"), expected);

    IniFile ini(path("Tavelin.ini"));
    writePlacement(ini, "Notiz1", window, true);
    EXPECT_EQ(ini.readString("Notiz1", "Visible", ""), "1") << "saved as the window goes";
}

TEST_F(NotePlacementTest, RestoreBringsBackPlacementAndState) {
    put("Tavelin.ini",
        "[Notiz1]\r\nFlags=2\r\nShowCmd=3\r\nPixelsPerInch=96\r\n"
        "MinMaxPos=5,6,7,8\r\nNormPos=10,20,300,400\r\n");
    restore();

    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.wp.flags, 2);
    EXPECT_EQ(window.wp.minPosition, (Point{5, 6}));
    EXPECT_EQ(window.wp.maxPosition, (Point{7, 8}));
    EXPECT_EQ(window.wp.normalPosition, (Rect{10, 20, 300, 400}));
    EXPECT_EQ(window.state, WindowState::Maximized);
}

TEST_F(NotePlacementTest, SizeQualifiedKeysWinOverPlainOnes) {
    put("Tavelin.ini",
        "[Notiz1]\r\nNormPos(1024x768)=1,2,301,302\r\nNormPos=10,20,300,400\r\n"
        "NormPos(800x600)=5,5,5,5\r\nMinMaxPos(800x600)=9,9,9,9\r\n");
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{1, 2, 301, 302}));
    // No MinMaxPos for this screen and none plain: the positions are left.
    EXPECT_EQ(window.wp.minPosition, (Point{-1, -1}));
}

TEST(LayoutSuffix, NamesEachMonitorWhateverOrderTheSystemListsThemIn) {
    const Rect laptop{0, 0, 1024, 768};
    const Rect right{1024, 0, 2304, 1024};
    const Rect left{-1920, -200, 0, 880};
    EXPECT_EQ(layoutSuffix({laptop}), "(1024x768)");
    EXPECT_EQ(layoutSuffix({laptop, right}), "(1024x768+1280x1024@1024,0)");
    EXPECT_EQ(layoutSuffix({right, laptop}), "(1024x768+1280x1024@1024,0)");
    EXPECT_EQ(layoutSuffix({right, left, laptop}),
              "(1024x768+1920x1080@-1920,-200+1280x1024@1024,0)");
    // The same monitors in other places are another layout.
    EXPECT_NE(layoutSuffix({laptop, {0, 768, 1280, 1792}}), layoutSuffix({laptop, right}));
}

// A note on the second monitor, then on the laptop alone: each layout keeps
// its own place, and one never seen has none of its own, whatever the plain
// keys say.
TEST_F(NotePlacementTest, EachMonitorLayoutKeepsItsOwnPlace) {
    const std::pair<Rect, int> laptop{{0, 0, 1024, 768}, 96};
    const std::pair<Rect, int> second{{1024, 0, 2304, 1024}, 96};
    const Rect onSecond{1200, 100, 1500, 300};
    const Rect onLaptop{700, 100, 1000, 300};
    auto stored = [&] {
        IniFile ini(path("Tavelin.ini"));
        return storedLayoutPlace(ini, "Notiz1", window);
    };
    window.monitors = {laptop, second};
    window.wp.normalPosition = onSecond;
    {
        IniFile ini(path("Tavelin.ini"));
        writePlacement(ini, "Notiz1", window, false);
        ini.close();
    }
    window.monitors = {laptop};
    EXPECT_EQ(stored(), std::nullopt);
    window.wp.normalPosition = onLaptop;
    {
        IniFile ini(path("Tavelin.ini"));
        writePlacement(ini, "Notiz1", window, false);
        ini.close();
    }
    EXPECT_EQ(stored(), onLaptop);

    window.monitors = {second, laptop};
    EXPECT_EQ(stored(), onSecond);
    restore();
    EXPECT_EQ(window.wp.normalPosition, onSecond) << "a start in a layout seen before";
    window.monitors = {laptop};
    restore();
    EXPECT_EQ(window.wp.normalPosition, onLaptop);

    // The place a note leaves as its layout ends goes under that layout's
    // keys alone.
    {
        IniFile ini(path("Tavelin.ini"));
        WindowPlacement leaving = window.wp;
        leaving.normalPosition = {1300, 200, 1600, 400};
        writeLayoutPlace(ini, "Notiz1", leaving, {laptop.first, second.first});
        EXPECT_EQ(ini.readString("Notiz1", "NormPos(1024x768+1280x1024@1024,0)", ""),
                  "1300,200,1600,400");
        EXPECT_EQ(ini.readString("Notiz1", "NormPos", ""), "700,100,1000,300");
        // Written at another density, the layout's rectangle is not taken.
        ini.writeInteger("Notiz1", "PixelsPerInch", 144);
        ini.close();
    }
    EXPECT_EQ(stored(), std::nullopt);
}

TEST_F(NotePlacementTest, ShortOrBadNumbersFallBackPerField) {
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=10 20\r\nMinMaxPos=3,x,4\r\n");
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{10, 20, 370, 290}));
    EXPECT_EQ(window.wp.minPosition, (Point{3, 0}));
    EXPECT_EQ(window.wp.maxPosition, (Point{4, 0}));

    put("Tavelin.ini", "[Notiz1]\r\nNormPos=1,zwei,,  300 , 99999999999\r\n");
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{1, 20, 300, 290}));
}

TEST_F(NotePlacementTest, OtherPixelsPerInchKeepsTheWindowButRestoresItsState) {
    put("Tavelin.ini", "[Notiz1]\r\nPixelsPerInch=120\r\nNormPos=1,2,300,400\r\nShowCmd=3\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 0);
    EXPECT_EQ(window.wp.normalPosition, (Rect{100, 50, 370, 290}));
    EXPECT_EQ(window.state, WindowState::Maximized);
}

// A laptop screen at 100 % and a monitor at 150 % right of it. A rectangle
// is in the pixels of the monitor it was saved on, so it is taken where the
// monitor under it still has that density, wherever the window is now.
TEST_F(NotePlacementTest, RectangleIsTakenWhereTheDensityIsTheOneItWasSavedAt) {
    window.monitors = {{{0, 0, 1024, 768}, 96}, {{1024, 0, 3584, 1440}, 144}};
    put("Tavelin.ini", "[Notiz1]\r\nPixelsPerInch=144\r\nNormPos=1200,100,1605,460\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.wp.normalPosition, (Rect{1200, 100, 1605, 460}));

    // Saved at 96 dpi, but the monitor there now runs at 150 %: kept.
    put("Tavelin.ini", "[Notiz1]\r\nPixelsPerInch=96\r\nNormPos=1300,100,1570,340\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.wp.normalPosition, (Rect{1200, 100, 1605, 460}));

    // A file from an old machine at 96 dpi, on the screen at 100 %.
    put("Tavelin.ini", "[Notiz1]\r\nPixelsPerInch=96\r\nNormPos=200,150,500,450\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 2);
    EXPECT_EQ(window.wp.normalPosition, (Rect{200, 150, 500, 450}));

    // Without a stored density the rectangle counts as the monitor's own.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=1100,50,1500,400\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 3);
}

TEST_F(NotePlacementTest, RectangleIsGuardedBeforeItIsApplied) {
    // A hidden window is not shown by it.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=10,20,300,900\r\n");
    window.isVisible = false;
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{10, 20, 300, 900}));
    EXPECT_EQ(window.wp.showCmd, 0);

    // An empty or inverted rectangle is not applied; the state still is.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=300,0,200,100\r\nShowCmd=2\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.state, WindowState::Minimized);
}

TEST_F(NotePlacementTest, UnreadableValuesKeepWhatTheWindowHas) {
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=10,300,200,100\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 0) << "upside down: as if missing";

    // The settings file's own integer forms count here too.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=$10,20,0x100,200\r\n");
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{16, 20, 256, 200}));

    // Larger or smaller than dragging allows: cut to the limits.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=0,0,99999,99999\r\n");
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{0, 0, 768, 1024}));
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=16,20,17,200\r\n");
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{16, 20, 36, 200}));
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=16,20,300,22\r\n");
    restore();
    EXPECT_EQ(window.wp.normalPosition, (Rect{16, 20, 300, 41}));

    // No height is no rectangle either; the other half still counts.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=5,20,300,20\r\nMinMaxPos=1,2,3,4\r\n");
    restore();
    EXPECT_EQ(window.placementsApplied, 5);
    EXPECT_EQ(window.wp.normalPosition, (Rect{16, 20, 300, 41}));
    EXPECT_EQ(window.wp.maxPosition, (Point{3, 4}));
}

TEST_F(NotePlacementTest, ShowCmdMapsToWindowState) {
    const std::vector<std::pair<int, WindowState>> cases = {
        {1, WindowState::Normal},    {5, WindowState::Normal},    {9, WindowState::Normal},
        {2, WindowState::Minimized}, {6, WindowState::Minimized}, {7, WindowState::Minimized},
        {3, WindowState::Maximized}};
    for (const auto& [cmd, state] : cases) {
        window.state =
            WindowState::Maximized == state ? WindowState::Normal : WindowState::Maximized;
        put("Tavelin.ini", "[Notiz1]\r\nShowCmd=" + std::to_string(cmd) + "\r\n");
        restore();
        EXPECT_EQ(window.state, state) << "ShowCmd " << cmd;
    }
    for (const char* text : {"0", "4", "keins"}) {
        window.state = WindowState::Maximized;
        put("Tavelin.ini", std::string("[Notiz1]\r\nShowCmd=") + text + "\r\n");
        restore();
        EXPECT_EQ(window.state, WindowState::Maximized) << "ShowCmd " << text;
    }
}

TEST(KeepOnScreen, PartlyVisibleWindowStays) {
    const std::vector<Rect> screen = {{0, 0, 1024, 768}};
    EXPECT_EQ(keepOnScreen({1000, 700, 1300, 1000}, screen), (Rect{1000, 700, 1300, 1000}));
    EXPECT_EQ(keepOnScreen({-200, -100, 10, 10}, screen), (Rect{-200, -100, 10, 10}));
    EXPECT_EQ(keepOnScreen({5000, 5000, 5100, 5100}, {}), (Rect{5000, 5000, 5100, 5100}));
}

TEST(KeepOnScreen, LostWindowMovesOntoTheNearestArea) {
    const std::vector<Rect> areas = {{0, 0, 1024, 768}, {1024, 0, 2048, 768}};
    // A second monitor that is gone, to the right.
    EXPECT_EQ(keepOnScreen({2500, 100, 2770, 340}, areas), (Rect{1778, 100, 2048, 340}));
    // Above the left one, touching neither.
    EXPECT_EQ(keepOnScreen({-400, -500, -130, -260}, areas), (Rect{0, 0, 270, 240}));
    // Larger than the area: its top-left corner is what shows.
    EXPECT_EQ(keepOnScreen({0, 900, 1200, 1900}, {{0, 0, 1024, 768}}), (Rect{0, 0, 1200, 1000}));
    // Numbers from a damaged file do not overflow.
    const Rect huge = keepOnScreen({INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX}, areas);
    EXPECT_EQ(huge, (Rect{2038, 758, 2048, 768}));
}

TEST(KeepTitleInReach, OnlyAWindowWithoutAGripOfItsTitleMoves) {
    // Two monitors side by side; the right one is lower and smaller.
    const std::vector<Rect> areas = {{0, 0, 1024, 768}, {1024, 100, 1824, 700}};
    struct Case {
        Rect window;
        Rect expected;
        const char* what;
    };
    const Case cases[] = {
        {{900, 600, 1200, 900}, {900, 600, 1200, 900}, "title across both monitors"},
        {{-280, 10, 20, 200}, {-280, 10, 20, 200}, "a grip of 20 at the left edge"},
        {{-290, 10, 10, 200}, {0, 10, 300, 200}, "only 10 pixels of the title"},
        {{100, -5, 400, 200}, {100, 0, 400, 205}, "title above the top edge"},
        {{1100, 50, 1400, 300}, {1100, 100, 1400, 350}, "title above the lower monitor"},
        {{1100, 760, 1400, 900}, {1100, 560, 1400, 700}, "the body shows but not its title"},
        {{3000, 300, 3300, 500}, {1524, 300, 1824, 500}, "a monitor that is gone"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keepTitleInReach(c.window, 20, areas), c.expected) << c.what;
}

TEST(Cascade, StepsFromTheCornerKeepingSizesAndStartsAgainAtTheEdge) {
    const Rect area{100, 50, 600, 450};  // 500 x 400
    const std::vector<Rect> windows = {
        {-3000, -3000, -2800, -2850},  // far off: 200 x 150
        {5000, 5000, 5300, 5200},      // 300 x 200
        {0, 0, 900, 300},              // wider than the area
        {0, 0, 400, 390},              // one step down would reach past the bottom
        {10, 10, 5, 5},                // damaged: no size
    };
    const std::vector<Rect> expected = {
        {100, 50, 300, 200}, {120, 70, 420, 270},
        {100, 50, 600, 350},  // shrunk to the area's width, so back at the corner
        {100, 50, 500, 440}, {120, 70, 120, 70},
    };
    EXPECT_EQ(cascade(windows, area, 20), expected);
    EXPECT_TRUE(cascade({}, area, 20).empty());
}

}  // namespace
}  // namespace tav
