
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "process_records.h"
#include "probe/display_modes.h"

namespace {

struct Size {
    uint32_t width;
    uint32_t height;
    uint32_t frequency;
    uint32_t aspectClass;
};

std::vector<Size> Selectable() {
    std::vector<Size> result;
    for (uint32_t i = 0; i < selectableModeCount; ++i) {
        const DisplayMode& m = selectableModes[i];
        result.push_back({m.width, m.height, m.frequency, m.aspectClass});
    }
    return result;
}

std::string Describe(const std::vector<Size>& sizes) {
    std::string text;
    for (const Size& s : sizes) {
        text += std::to_string(s.width) + "x" + std::to_string(s.height) + "@" + std::to_string(s.frequency) +
                "/" + std::to_string(s.aspectClass) + " ";
    }
    return text;
}

class DisplayModesTest : public RecordsTest {
protected:
    void SetUp() override {
        FreeDisplayCatalogue();
    }
    void TearDown() override {
        FreeDisplayCatalogue();
    }
    // One device reporting these modes, then the choice made from the catalogue.
    std::vector<Size> ChooseFromDevice(const std::vector<Size>& reported) {
        DisplayDeviceEntry* device = AppendDisplayDevice(L"\\\\.\\DISPLAY1", L"PCI\\TEST");
        EXPECT_NE(nullptr, device);
        for (const Size& s : reported) EXPECT_EQ(1, AppendDeviceMode(device, s.width, s.height, s.frequency));
        ChooseSelectableModes();
        return Selectable();
    }
    std::vector<Size> ChooseFromTable(const std::vector<ResolutionTableEntry>& rows) {
        table = rows;
        record.resolutionTable = table.data();
        capabilityAvailable = 1;
        capabilityRecord = &record;
        ChooseSelectableModes();
        return Selectable();
    }

    CapabilityRecord record = {};
    std::vector<ResolutionTableEntry> table;
};

TEST(DisplayModesAspect, ClassifiesTheFiveShapesAndNothingElse) {
    // {width, height, shape}: 1366 x 9 / 16 truncates to 768; for 0 x 0 the first matching shape wins.
    const uint32_t sizes[][3] = {{1024, 768, 1}, {1280, 768, 2}, {1280, 1024, 3}, {1280, 800, 4}, {1920, 1080, 5},
                                 {1366, 768, 5}, {1360, 768, 0}, {1280, 600, 0}, {768, 1024, 0}, {0, 0, 1}};
    for (const auto& size : sizes) EXPECT_EQ(size[2], ClassifyAspect(size[0], size[1])) << size[0] << " x " << size[1];
}

TEST(DisplayModesSort, EqualKeysEndInThePartitionsOrder) {
    // Three equal keys: the pivot goes last, then the left part swaps once more.
    DisplayMode modes[3] = {{5, 1, 1, 0}, {5, 1, 2, 0}, {5, 1, 3, 0}};
    SortModes(modes, 0, 2, kSortByWidth, 0);
    EXPECT_EQ(2u, modes[0].frequency);
    EXPECT_EQ(3u, modes[1].frequency);
    EXPECT_EQ(1u, modes[2].frequency);

    // Descending never moves equal keys.
    SortModes(modes, 0, 2, kSortByHeight, 1);
    EXPECT_EQ(2u, modes[0].frequency);
    EXPECT_EQ(1u, modes[2].frequency);

    // Entries outside first..last stay; first >= last changes nothing.
    DisplayMode range[4] = {{9, 0, 0, 0}, {3, 0, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 0}};
    SortModes(range, 1, 2, kSortByWidth, 0);
    EXPECT_EQ(9u, range[0].width);
    EXPECT_EQ(1u, range[1].width);
    EXPECT_EQ(3u, range[2].width);
    EXPECT_EQ(0u, range[3].width);
    SortModes(range, 3, 0, kSortByWidth, 0);
    EXPECT_EQ(9u, range[0].width);
}

TEST(DisplayModesSort, OrdersEveryKeyBothWays) {
    srand(7);
    for (int round = 0; round < 200; ++round) {
        int count = 1 + rand() % 40;
        std::vector<DisplayMode> modes(count);
        for (DisplayMode& m : modes) m = {uint32_t(rand() % 6), uint32_t(rand() % 6), uint32_t(rand() % 6), 0};
        int key = round % 3 == 0 ? kSortByWidth : round % 3 == 1 ? kSortByHeight : kSortByFrequency;
        int descending = round % 2;
        std::vector<DisplayMode> sorted = modes;
        SortModes(sorted.data(), 0, count - 1, key, descending);
        auto value = [key](const DisplayMode& m) {
            return key == kSortByWidth ? m.width : key == kSortByHeight ? m.height : m.frequency;
        };
        for (int i = 1; i < count; ++i) {
            if (descending) ASSERT_GE(value(sorted[i - 1]), value(sorted[i])) << "round " << round;
            else ASSERT_LE(value(sorted[i - 1]), value(sorted[i])) << "round " << round;
        }
        // Same entries, only moved.
        auto order = [](const DisplayMode& a, const DisplayMode& b) {
            return std::make_tuple(a.width, a.height, a.frequency) < std::make_tuple(b.width, b.height, b.frequency);
        };
        std::sort(modes.begin(), modes.end(), order);
        std::sort(sorted.begin(), sorted.end(), order);
        for (int i = 0; i < count; ++i) ASSERT_TRUE(!order(modes[i], sorted[i]) && !order(sorted[i], modes[i]));
    }
}

TEST_F(DisplayModesTest, SameWidthKeepsThePartitionsOrder) {
    auto chosen = ChooseFromDevice({{1280, 720, 60, 0}, {1280, 768, 60, 0}, {1280, 1024, 60, 0}});
    EXPECT_EQ("1280x768@60/2 1280x1024@60/3 1280x720@60/5 ", Describe(chosen));
}

TEST_F(DisplayModesTest, OneEntryPerSizeWithTheFirstSortedFrequency) {
    // 1024 x 768 at three depths and two rates; after both passes the third reported is first.
    auto chosen = ChooseFromDevice({{1024, 768, 60, 0}, {1024, 768, 75, 0}, {1024, 768, 61, 0},
                                    {1024, 768, 76, 0}, {1024, 768, 62, 0}, {1024, 768, 77, 0}});
    EXPECT_EQ("1024x768@61/1 ", Describe(chosen));
}

TEST_F(DisplayModesTest, OffersOnlyLargeEnoughKnownShapes) {
    auto chosen = ChooseFromDevice({{1360, 768, 60, 0}, {1280, 600, 60, 0}, {800, 600, 60, 0}, {1024, 576, 60, 0},
                                    {1366, 768, 60, 0}, {1152, 720, 60, 0}, {1023, 576, 60, 0}, {1024, 575, 60, 0},
                                    {1023, 767, 60, 0}, {640, 480, 60, 0}});  // 1023 x 767 is 4:3
    EXPECT_EQ("1024x576@60/5 1152x720@60/4 1366x768@60/5 ", Describe(chosen));
}

TEST_F(DisplayModesTest, OnlyTheFirstDeviceIsOffered) {
    DisplayDeviceEntry* first = AppendDisplayDevice(L"\\\\.\\DISPLAY1", L"");
    ASSERT_NE(nullptr, first);
    DisplayDeviceEntry* second = AppendDisplayDevice(L"\\\\.\\DISPLAY2", L"");
    ASSERT_NE(nullptr, second);
    ASSERT_EQ(1, AppendDeviceMode(second, 1920, 1080, 60));
    ChooseSelectableModes();
    EXPECT_EQ(0u, selectableModeCount);

    ASSERT_EQ(1, AppendDeviceMode(&displayDevices[0], 1280, 1024, 60));
    ChooseSelectableModes();
    EXPECT_EQ("1280x1024@60/3 ", Describe(Selectable()));
    ChooseSelectableModes();  // a second choice replaces the first
    EXPECT_EQ("1280x1024@60/3 ", Describe(Selectable()));
}

TEST_F(DisplayModesTest, DevicesKeepEveryModeInOrderAndCutTheirNames) {
    std::wstring longName(40, L'N');
    std::wstring longId(200, L'I');
    DisplayDeviceEntry* device = AppendDisplayDevice(longName.c_str(), longId.c_str());
    ASSERT_NE(nullptr, device);
    EXPECT_EQ(std::wstring(31, L'N'), device->deviceName);
    EXPECT_EQ(std::wstring(127, L'I'), device->deviceId);
    for (uint32_t m = 0; m < 1000; ++m) ASSERT_EQ(1, AppendDeviceMode(&displayDevices[0], m, m + 1, m + 2));
    for (uint32_t d = 1; d < 20; ++d) ASSERT_NE(nullptr, AppendDisplayDevice(L"more", L""));
    ASSERT_EQ(20u, displayDeviceCount);
    ASSERT_EQ(1000u, displayDevices[0].modeCount);
    for (uint32_t m = 0; m < 1000; ++m) {
        const DisplayMode& mode = displayDevices[0].modes[m];
        ASSERT_TRUE(mode.width == m && mode.height == m + 1 && mode.frequency == m + 2 && mode.aspectClass == 0);
    }
    FreeDisplayCatalogue();
    EXPECT_EQ(nullptr, displayDevices);
    EXPECT_EQ(0u, displayDeviceCount);
    EXPECT_EQ(nullptr, selectableModes);
    EXPECT_EQ(0u, selectableModeCount);
}

TEST_F(DisplayModesTest, TableSkipsItsFirstRowAndStopsAtAZeroSize) {
    EXPECT_EQ("", Describe(ChooseFromTable({{1920, 1080, 1}, {0, 0, 0}, {1280, 1024, 1}})));
    EXPECT_EQ("1280x1024@7/3 ", Describe(ChooseFromTable({{1920, 1080, 1}, {1280, 1024, 7}, {0, 0, 0}})));
    EXPECT_EQ("1280x1024@9/3 ", Describe(ChooseFromTable({{0, 0, 0}, {800, 600, 8}, {1280, 1024, 9}, {0, 0, 0}})));
    // Either dimension 0 ends the table.
    EXPECT_EQ("1024x768@1/1 ",
              Describe(ChooseFromTable({{0, 0, 0}, {1024, 768, 1}, {0, 768, 0}, {1280, 1024, 1}, {0, 0, 0}})));
    EXPECT_EQ("1024x768@1/1 ",
              Describe(ChooseFromTable({{0, 0, 0}, {1024, 768, 1}, {1280, 0, 0}, {1280, 1024, 1}, {0, 0, 0}})));
}

TEST_F(DisplayModesTest, TableOffersEachSizeOnceInTableOrder) {
    auto chosen = ChooseFromTable({{11, 12, 0}, {1920, 1080, 1}, {1360, 768, 2}, {1024, 768, 3}, {1920, 1080, 4},
                                   {640, 480, 5}, {1024, 768, 6}, {1680, 1050, 7}, {0, 0, 0}});
    EXPECT_EQ("1920x1080@1/5 1024x768@3/1 1680x1050@7/4 ", Describe(chosen));

    // No record or no table: nothing to offer.
    record.resolutionTable = nullptr;
    ChooseSelectableModes();
    EXPECT_EQ(0u, selectableModeCount);
    capabilityRecord = nullptr;
    ChooseSelectableModes();
    EXPECT_EQ(0u, selectableModeCount);
}

TEST_F(DisplayModesTest, EmptyingForgetsWithoutFreeing) {
    ChooseFromDevice({{1024, 768, 60, 0}});
    DisplayDeviceEntry* devices = displayDevices;
    uint32_t deviceCount = displayDeviceCount;
    DisplayMode* modes = selectableModes;
    EmptyDisplayCatalogue();
    EXPECT_TRUE(displayDevices == nullptr && displayDeviceCount == 0);
    EXPECT_TRUE(selectableModes == nullptr && selectableModeCount == 0);
    // Still ours to free.
    displayDevices = devices;
    displayDeviceCount = deviceCount;
    selectableModes = modes;
    selectableModeCount = 1;
    EXPECT_EQ(1024u, selectableModes[0].width);
}

TEST(DisplayModesVersion, OnlyVersionsBeforeWindows2000AreTooOld) {
    // 95 family, NT 3.51 and NT 4, unknown
    for (int32_t code : {90405, 90410, 90490, 90450, 100300, 100400, 100499, 0})
        EXPECT_EQ(1, IsOlderThanWindows2000(code)) << code;
    // 2000, XP, 2003, NT 6, NT 5 with another minor, NT 7 and later (the bare major)
    for (int32_t code : {100500, 100510, 100520, 100600, 5, 7, 10, 11})
        EXPECT_EQ(0, IsOlderThanWindows2000(code)) << code;
}

// The real enumeration. Under the harness's Xvfb (1600 x 1200) Wine reports the screen's own
// size, at several depths: offered once, as a 4:3 mode.
TEST_F(DisplayModesTest, EnumeratesTheDisplayDevices) {
    environmentSnapshot.windowsVersionCode = 100600;
    ASSERT_EQ(1, BuildDisplayCatalogue());
    ASSERT_GE(displayDeviceCount, 1u);
    EXPECT_STREQ(L"\\\\.\\DISPLAY1", displayDevices[0].deviceName);
    bool seenScreen = false;
    for (uint32_t m = 0; m < displayDevices[0].modeCount; ++m) {
        const DisplayMode& mode = displayDevices[0].modes[m];
        EXPECT_EQ(0u, mode.aspectClass);
        seenScreen |= mode.width == 1600 && mode.height == 1200;
    }
    EXPECT_TRUE(seenScreen);

    ChooseSelectableModes();
    ASSERT_EQ(1u, selectableModeCount) << Describe(Selectable());
    EXPECT_EQ(1600u, selectableModes[0].width);
    EXPECT_EQ(1200u, selectableModes[0].height);
    EXPECT_EQ(1u, selectableModes[0].aspectClass);

    // Before Windows 2000 nothing is enumerated, and an earlier catalogue is gone.
    environmentSnapshot.windowsVersionCode = 100499;
    EXPECT_EQ(0, BuildDisplayCatalogue());
    EXPECT_EQ(0u, displayDeviceCount);
    EXPECT_EQ(nullptr, displayDevices);

    // A host that declares Windows 10 gets the code 10, and still its display modes.
    environmentSnapshot.windowsVersionCode = 10;
    EXPECT_EQ(1, BuildDisplayCatalogue());
}

}  // namespace
