#include <cctype>
#include <climits>
#include <map>
#include <sstream>
#include <stdexcept>

#include "FakePlacementWindow.h"
#include "FileTestSupport.h"
#include "store/FormPlacement.h"
#include "store/IniFile.h"

namespace tav {
namespace {

class FormPlacementTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        storage.IniFileName = path("Tavelin.ini");
        storage.IniSection = "Notiz1";
        storage.StoredProps = {"RxClock1.AlarmEnabled", "RxClock1.AlarmHour",
                               "RxClock1.AlarmMinute", "RxClock1.AlarmSecond", "memo1.Color"};
        storage.loaded();
    }

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

    std::string value(const std::string& key) {
        IniFile ini(path("Tavelin.ini"));
        return ini.readString("Notiz1", key, "<missing>");
    }

    FakeWindow window;
    FormStorage storage{window};
};

TEST_F(FormPlacementTest, SaveWritesTheKeysInOrder) {
    storage.onShow();
    storage.onCloseQuery(true);
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
}

TEST_F(FormPlacementTest, RestoreBringsBackPlacementStateAndProperties) {
    put("Tavelin.ini",
        "[Notiz1]\r\nFlags=2\r\nShowCmd=3\r\nPixelsPerInch=96\r\n"
        "MinMaxPos=5,6,7,8\r\nNormPos=10,20,300,400\r\n"
        "RxClock1_AlarmEnabled=true\r\nRxClock1_AlarmHour=9\r\nmemo1_Color=255\r\n");
    window.centred = true;
    window.prop("RxClock1", "AlarmEnabled").value = 0;
    storage.onShow();

    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.wp.flags, 2);
    EXPECT_EQ(window.wp.minPosition, (Point{5, 6}));
    EXPECT_EQ(window.wp.maxPosition, (Point{7, 8}));
    EXPECT_EQ(window.wp.normalPosition, (Rect{10, 20, 300, 400}));
    EXPECT_FALSE(window.centred);
    EXPECT_EQ(window.state, WindowState::Maximized);
    EXPECT_EQ(window.prop("RxClock1", "AlarmEnabled").value, 1);
    EXPECT_EQ(window.prop("RxClock1", "AlarmHour").value, 9);
    EXPECT_EQ(window.prop("RxClock1", "AlarmMinute").value, 30);  // missing key: unchanged
    EXPECT_EQ(window.prop("memo1", "Color").value, 255);
    EXPECT_TRUE(storage.restored());
}

TEST_F(FormPlacementTest, SizeQualifiedKeysWinOverPlainOnes) {
    put("Tavelin.ini",
        "[Notiz1]\r\nNormPos(1024x768)=1,2,3,4\r\nNormPos=10,20,30,40\r\n"
        "NormPos(800x600)=5,5,5,5\r\nMinMaxPos(800x600)=9,9,9,9\r\n");
    storage.onShow();
    EXPECT_EQ(window.wp.normalPosition, (Rect{1, 2, 3, 4}));
    // No MinMaxPos for this screen and none plain: the positions are left.
    EXPECT_EQ(window.wp.minPosition, (Point{-1, -1}));
}

TEST_F(FormPlacementTest, ShortOrBadNumbersFallBackPerField) {
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=10 20\r\nMinMaxPos=3,x,4\r\n");
    storage.onShow();
    EXPECT_EQ(window.wp.normalPosition, (Rect{10, 20, 370, 290}));
    EXPECT_EQ(window.wp.minPosition, (Point{3, 0}));
    EXPECT_EQ(window.wp.maxPosition, (Point{4, 0}));

    put("Tavelin.ini", "[Notiz1]\r\nNormPos=1,zwei,,  300 , 99999999999\r\n");
    storage.onShow();
    EXPECT_EQ(window.wp.normalPosition, (Rect{1, 20, 300, 290}));
}

TEST_F(FormPlacementTest, OtherPixelsPerInchKeepsTheWindowButRestoresTheRest) {
    put("Tavelin.ini",
        "[Notiz1]\r\nPixelsPerInch=120\r\nNormPos=1,2,300,400\r\nShowCmd=3\r\n"
        "memo1_Color=255\r\n");
    storage.onShow();
    EXPECT_EQ(window.placementsApplied, 0);
    EXPECT_EQ(window.wp.normalPosition, (Rect{100, 50, 370, 290}));
    EXPECT_EQ(window.state, WindowState::Maximized);
    EXPECT_EQ(window.prop("memo1", "Color").value, 255);
}

// A laptop screen at 100 % and a monitor at 150 % right of it. A rectangle
// is in the pixels of the monitor it was saved on, so it is taken where the
// monitor under it still has that density, wherever the window is now.
TEST_F(FormPlacementTest, RectangleIsTakenWhereTheDensityIsTheOneItWasSavedAt) {
    window.monitors = {{{0, 0, 1024, 768}, 96}, {{1024, 0, 3584, 1440}, 144}};
    put("Tavelin.ini", "[Notiz1]\r\nPixelsPerInch=144\r\nNormPos=1200,100,1605,460\r\n");
    storage.onShow();
    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.wp.normalPosition, (Rect{1200, 100, 1605, 460}));

    // Saved at 96 dpi, but the monitor there now runs at 150 %: kept.
    put("Tavelin.ini", "[Notiz1]\r\nPixelsPerInch=96\r\nNormPos=1300,100,1570,340\r\n");
    storage.onShow();
    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.wp.normalPosition, (Rect{1200, 100, 1605, 460}));

    // A file from an old machine at 96 dpi, on the screen at 100 %.
    put("Tavelin.ini", "[Notiz1]\r\nPixelsPerInch=96\r\nNormPos=200,150,500,450\r\n");
    storage.onShow();
    EXPECT_EQ(window.placementsApplied, 2);
    EXPECT_EQ(window.wp.normalPosition, (Rect{200, 150, 500, 450}));

    // Without a stored density the rectangle counts as the monitor's own.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=1100,50,1500,400\r\n");
    storage.onShow();
    EXPECT_EQ(window.placementsApplied, 3);
}

TEST_F(FormPlacementTest, RectangleIsGuardedBeforeItIsApplied) {
    // A fixed border keeps the current size; a hidden window is not shown.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=10,20,900,900\r\n");
    window.sizeable = false;
    window.isVisible = false;
    storage.onShow();
    EXPECT_EQ(window.wp.normalPosition, (Rect{10, 20, 280, 260}));
    EXPECT_EQ(window.wp.showCmd, 0);

    // An empty or inverted rectangle is not applied; the state still is.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=300,0,200,100\r\nShowCmd=2\r\n");
    window.sizeable = true;
    storage.onShow();
    EXPECT_EQ(window.placementsApplied, 1);
    EXPECT_EQ(window.state, WindowState::Minimized);
}

TEST_F(FormPlacementTest, UnreadableValuesKeepWhatTheWindowHas) {
    // A colour nobody can read must not turn the note black.
    put("Tavelin.ini",
        "[Notiz1]\r\nmemo1_Color=gelb\r\nRxClock1_AlarmHour=\r\n"
        "RxClock1_AlarmEnabled=vielleicht\r\nNormPos=10,300,200,100\r\n");
    storage.onShow();
    EXPECT_EQ(window.prop("memo1", "Color").value, 0x00FFFF);
    EXPECT_EQ(window.prop("RxClock1", "AlarmHour").value, 7);
    EXPECT_EQ(window.prop("RxClock1", "AlarmEnabled").value, 1);
    EXPECT_EQ(window.placementsApplied, 0) << "upside down: as if missing";

    // The settings file's own integer forms count here too.
    put("Tavelin.ini",
        "[Notiz1]\r\nmemo1_Color=$000000FF\r\nRxClock1_AlarmHour=0x0A\r\n"
        "NormPos=$10,20,0x100,200\r\n");
    storage.onShow();
    EXPECT_EQ(window.prop("memo1", "Color").value, 255);
    EXPECT_EQ(window.prop("RxClock1", "AlarmHour").value, 10);
    EXPECT_EQ(window.wp.normalPosition, (Rect{16, 20, 256, 200}));

    // Larger than dragging allows: cut to the limits where they are set.
    storage.MinMaxInfo.MinTrackWidth = 20;
    storage.MinMaxInfo.MaxTrackWidth = 768;
    storage.MinMaxInfo.MaxTrackHeight = 1024;
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=0,0,99999,99999\r\n");
    storage.onShow();
    EXPECT_EQ(window.wp.normalPosition, (Rect{0, 0, 768, 1024}));
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=16,20,17,200\r\n");
    storage.onShow();
    EXPECT_EQ(window.wp.normalPosition, (Rect{16, 20, 36, 200}));
    storage.MinMaxInfo = {};

    // No height is no rectangle either; the other half still counts.
    put("Tavelin.ini", "[Notiz1]\r\nNormPos=5,20,300,20\r\nMinMaxPos=1,2,3,4\r\n");
    storage.onShow();
    EXPECT_EQ(window.placementsApplied, 4);
    EXPECT_EQ(window.wp.normalPosition, (Rect{16, 20, 36, 200}));
    EXPECT_EQ(window.wp.maxPosition, (Point{3, 4}));
}

TEST_F(FormPlacementTest, ShowCmdMapsToWindowState) {
    const std::vector<std::pair<int, WindowState>> cases = {
        {1, WindowState::Normal},    {5, WindowState::Normal},    {9, WindowState::Normal},
        {2, WindowState::Minimized}, {6, WindowState::Minimized}, {7, WindowState::Minimized},
        {3, WindowState::Maximized}};
    for (const auto& [cmd, state] : cases) {
        window.state =
            WindowState::Maximized == state ? WindowState::Normal : WindowState::Maximized;
        put("Tavelin.ini", "[Notiz1]\r\nShowCmd=" + std::to_string(cmd) + "\r\n");
        storage.onShow();
        EXPECT_EQ(window.state, state) << "ShowCmd " << cmd;
    }
    for (const char* text : {"0", "4", "keins"}) {
        window.state = WindowState::Maximized;
        put("Tavelin.ini", std::string("[Notiz1]\r\nShowCmd=") + text + "\r\n");
        storage.onShow();
        EXPECT_EQ(window.state, WindowState::Maximized) << "ShowCmd " << text;
    }
}

TEST_F(FormPlacementTest, MainFormMinimisesTheApplication) {
    put("Tavelin.ini", "[Notiz1]\r\nShowCmd=2\r\n");
    window.mainForm = true;
    window.state = WindowState::Maximized;
    storage.onShow();
    EXPECT_EQ(window.state, WindowState::Normal);
    EXPECT_TRUE(window.appMinimized);

    storage.onCloseQuery(true);
    EXPECT_EQ(value("ShowCmd"), "2");
}

TEST_F(FormPlacementTest, PropertyTextsReadBackLeniently) {
    put("Tavelin.ini",
        "[Notiz1]\r\nRxClock1_AlarmEnabled=vielleicht\r\nRxClock1_AlarmHour=acht\r\n"
        "RxClock1_AlarmMinute= 45 \r\n");
    storage.onShow();
    EXPECT_EQ(window.prop("RxClock1", "AlarmEnabled").value, 1);
    EXPECT_EQ(window.prop("RxClock1", "AlarmHour").value, 7) << "no number: unchanged";
    EXPECT_EQ(window.prop("RxClock1", "AlarmMinute").value, 45);

    put("Tavelin.ini", "[Notiz1]\r\nRxClock1_AlarmEnabled=FALSE\r\n");
    storage.onShow();
    EXPECT_EQ(window.prop("RxClock1", "AlarmEnabled").value, 0);
}

TEST_F(FormPlacementTest, OnePropertyFailingLeavesTheOthers) {
    put("Tavelin.ini", "[Notiz1]\r\nRxClock1_AlarmHour=9\r\nmemo1_Color=255\r\n");
    window.prop("RxClock1", "AlarmHour").throwsOnSet = true;
    storage.onShow();
    EXPECT_EQ(window.prop("RxClock1", "AlarmHour").value, 7);
    EXPECT_EQ(window.prop("memo1", "Color").value, 255);
}

TEST_F(FormPlacementTest, EntriesAreSplitTrimmedAndResolved) {
    window.components["Label1"] = {{{"Tag", false, {}}, 1}};
    storage.StoredProps = {
        " MEMO1 . color ",     "nodot", ".Color", "memo1.", "Missing.Color", "Label1.Tag",
        "memo1.NoSuchProperty"};
    storage.loaded();
    storage.componentDestroyed("label1");
    storage.onShow();
    storage.onCloseQuery(true);
    const auto lines = sectionLines("Notiz1");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "memo1_Color=65535");
    EXPECT_EQ(lines[lines.size() - 2], "Visible=0");
}

TEST_F(FormPlacementTest, QuotedValuesSurviveTheReader) {
    window.components["memo1"].push_back({{"Quote", true, {"plain", "\"quoted\"", "'single'"}}, 1});
    storage.StoredProps = {"memo1.Quote"};
    storage.loaded();
    storage.onShow();
    storage.onCloseQuery(true);
    EXPECT_EQ(sectionLines("Notiz1").back(), "memo1_Quote=\"\"quoted\"\"");

    window.prop("memo1", "Quote").value = 0;
    storage.onShow();
    EXPECT_EQ(window.prop("memo1", "Quote").value, 1);
}

TEST_F(FormPlacementTest, SaveTimingFollowsShowCloseAndDestroy) {
    int saves = 0, restores = 0;
    storage.OnSavePlacement = [&](FormPlacement&) { ++saves; };
    storage.OnRestorePlacement = [&](FormPlacement&) { ++restores; };

    // Never shown: nothing to write, not even on destroy.
    storage.onCloseQuery(true);
    storage.onDestroy();
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(std::filesystem::exists(path("Tavelin.ini")));

    storage.onShow();
    EXPECT_EQ(restores, 1);
    storage.onCloseQuery(false);
    EXPECT_EQ(saves, 0);
    storage.onCloseQuery(true);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(value("Visible"), "0");
    storage.onDestroy();
    EXPECT_EQ(saves, 1);

    storage.onShow();
    storage.onDestroy();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(value("Visible"), "1");
}

TEST_F(FormPlacementTest, WindowWithoutHandleOrInactiveStorageWritesNothing) {
    storage.onShow();
    window.handle = false;
    storage.onCloseQuery(true);
    EXPECT_FALSE(storage.saved());

    put("Tavelin.ini", "[Notiz1]\r\nmemo1_Color=255\r\n");
    storage.Active = false;
    storage.onShow();
    EXPECT_EQ(window.prop("memo1", "Color").value, 0x00FFFF);
    window.handle = true;
    storage.onCloseQuery(true);
    storage.onDestroy();
    EXPECT_EQ(sectionLines("Notiz1"), std::vector<std::string>{"memo1_Color=255"});
}

TEST(MinMaxInfo, OnlyNonZeroLimitsReplace) {
    TWinMinMaxInfo info;
    EXPECT_FALSE(info.inForce());
    info.MinTrackWidth = 20;
    info.MinTrackHeight = 21;
    info.MaxTrackWidth = 768;
    info.MaxTrackHeight = 1024;
    EXPECT_TRUE(info.inForce());

    MinMaxValues values{{1, 2}, {3, 4}, {5, 6}, {7, 8}};
    applyMinMaxInfo(info, values);
    EXPECT_EQ(values.maxSize, (Point{1, 2}));
    EXPECT_EQ(values.maxPosition, (Point{3, 4}));
    EXPECT_EQ(values.minTrackSize, (Point{20, 21}));
    EXPECT_EQ(values.maxTrackSize, (Point{768, 1024}));

    info = {};
    info.MaxPosTop = -5;
    info.MaxSizeWidth = 500;
    applyMinMaxInfo(info, values);
    EXPECT_EQ(values.maxPosition, (Point{3, -5}));
    EXPECT_EQ(values.maxSize, (Point{500, 2}));
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

}  // namespace
}  // namespace tav
