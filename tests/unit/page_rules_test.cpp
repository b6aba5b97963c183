// The pages' decisions, without windows.
#include <gtest/gtest.h>

#include <string.h>

#include "dialog/page_rules.h"
#include "dialog/tab_host_rules.h"

namespace {

const WindowSize kSizes[5] = {{1024, 576}, {1280, 720}, {1366, 768}, {1600, 900}, {1920, 1080}};

// Strictly smaller in both dimensions, compared unsigned (a negative size counts as large).
TEST(PageRulesWindowSizes, LeadingSizesStrictlySmallerThanTheScreen) {
    const struct {
        int32_t width, height;
        int fitting;
    } screens[] = {{1280, 1024, 1}, {1281, 721, 2}, {1366, 1080, 2}, {1920, 1200, 4}, {2560, 1440, 5},
                   {1280, 800, 1},  {1024, 768, 0}, {800, 600, 0},   {4000, 576, 0},  {0, 0, 0},
                   {-1, -1, 5}};
    for (const auto& screen : screens) {
        EXPECT_EQ(screen.fitting, CountFittingSizes(kSizes, 5, screen.width, screen.height))
            << screen.width << " x " << screen.height;
    }
}

TEST(PageRulesSmoke, ItemsForAmounts) {
    // {amount, item}; negative amounts count as large.
    const int32_t items[][2] = {{0, 0}, {100, 0}, {101, 1}, {200, 1}, {250, 2}, {300, 2}, {301, 3}, {401, 3}, {-1, 3}};
    for (const auto& row : items) EXPECT_EQ(SmokeItemForAmount(row[0]), row[1]) << row[0];
}

TEST(PageRulesSmoke, AmountsForItems) {
    const int32_t amounts[][2] = {{0, 100}, {1, 200}, {2, 300}, {3, 400}, {-1, 400}};  // {item, amount}; -1: none
    for (const auto& row : amounts) EXPECT_EQ(SmokeAmountForItem(row[0]), row[1]) << row[0];
}

TEST(PageRulesLevels, StoredValueSelectsItsLastMatchingLevel) {
    const uint32_t levels[] = {2, 4, 8};
    EXPECT_EQ(ChooseLevelItem(levels, 3, 4, 0), 1);
    EXPECT_EQ(ChooseLevelItem(levels, 3, 8, 1), 2);
    EXPECT_EQ(ChooseLevelItem(levels, 3, 3, 0), 0);   // no match: item 0
    EXPECT_EQ(ChooseLevelItem(levels, 3, -8, 0), 0);
    EXPECT_EQ(ChooseLevelItem(levels, 0, 4, 0), 0);
    const uint32_t repeated[] = {4, 2, 4};
    EXPECT_EQ(ChooseLevelItem(repeated, 3, 4, 0), 2);
}

TEST(PageRulesLevels, StoredZeroDiffersBetweenTheLists) {
    const uint32_t repeated[] = {2, 2, 4};
    EXPECT_EQ(ChooseLevelItem(repeated, 3, 0, 1), 1);  // anisotropy: the repeat
    EXPECT_EQ(ChooseLevelItem(repeated, 3, 0, 0), 0);  // anti-aliasing: item 0 stays
    const uint32_t increasing[] = {2, 4, 8, 16};
    EXPECT_EQ(ChooseLevelItem(increasing, 4, 0, 1), 0);
    const uint32_t twoRepeats[] = {2, 2, 4, 4};
    EXPECT_EQ(ChooseLevelItem(twoRepeats, 4, 0, 1), 3);
}

TEST(PageRulesLevels, ParseLevelItems) {
    const struct {
        const wchar_t* text;
        int32_t level;
    } items[] = {{L" 2x", 2},     {L" 4x", 4},    {L"16x", 16},         {L"10x", 10},  // 0 not in the first place
                 {L"08x", 8},     {L"nothing", 0}, {L"\x306A\x3057", 0}, {L"", 0},
                 {L"4x2", 4},     {L"4X2", 42},   {L"x8", 0},           {L"a1b2x", 12}};  // only 'x' ends it
    for (const auto& item : items) EXPECT_EQ(item.level, ParseLevelText(item.text)) << item.text;
}

TEST(PageRulesJoystick, FileDirectoryChoice) {
    EXPECT_EQ(JoystickFileInWorkDirectory(1, 0, -1), 1);  // same text: the work directory, file or not
    EXPECT_EQ(JoystickFileInWorkDirectory(0, 1, 12), 1);
    EXPECT_EQ(JoystickFileInWorkDirectory(0, 1, 1), 1);
    EXPECT_EQ(JoystickFileInWorkDirectory(0, 1, 0), 0);   // empty file: the installation's copy
    EXPECT_EQ(JoystickFileInWorkDirectory(0, 1, -1), 0);  // missing file or a directory
    EXPECT_EQ(JoystickFileInWorkDirectory(0, 0, 12), 0);  // no work directory
}

// The load defaults, with the levels from the record's lists (0 without a record or a level).
TEST(PageRulesFactory, DefaultsWithTheRecordsFirstLevels) {
    CapabilityRecord levels = {};
    levels.antiAliasLevels[0] = 2;
    levels.antiAliasLevels[1] = 4;
    levels.anisotropyLevels[0] = 8;
    const CapabilityRecord empty = {};
    const struct {
        const CapabilityRecord* record;
        int32_t expected[14];
    } cases[] = {
        {nullptr, {1, 1024, 576, 1, 100, 1, 0, 0, 1, 1, 80, 80, 80, 80}},
        {&levels, {1, 1024, 576, 1, 100, 1, 2, 8, 1, 1, 80, 80, 80, 80}},
        {&empty, {1, 1024, 576, 1, 100, 1, 0, 0, 1, 1, 80, 80, 80, 80}},
    };
    for (const auto& c : cases) {
        OptionsRecord options;
        memset(&options, 0x5A, sizeof(options));
        SetFactoryOptions(&options, c.record);
        EXPECT_EQ(0, memcmp(&options, c.expected, sizeof(c.expected))) << (c.record == &levels ? "levels" : "none");
    }
}

// Display area 4, 24 to 521, 449 (a page of 273 pixels by the fixed arithmetic) and buttons
// from 408 down, unless a case says otherwise.
TEST(TabHostRules, PagesGrowIntoTheBandAboveTheButtonsOnlyWhereNeeded) {
    const struct {
        int contentHeight;
        int buttonsTop;
        int tabHeight;
        int pageHeight;
    } cases[] = {
        {200, 408, 299, 273},  // fits: the fixed arithmetic
        {273, 408, 299, 273},  // exactly
        {306, 408, 332, 306},  // the Information list
        {330, 408, 356, 330},  // a template of 220 dialog units
        {500, 408, 404, 378},  // stops short of the buttons
        {330, 360, 356, 330},  // just enough room
        {330, 359, 355, 329},
        {330, 250, 299, 273},  // buttons already over the strip: never shrinks
    };
    RECT area = {4, 24, 521, 449};
    for (const auto& c : cases) {
        TabHostLayout layout = ArrangeTabHost(area, c.contentHeight, c.buttonsTop, 96);
        EXPECT_EQ(layout.tab.x, 2);
        EXPECT_EQ(layout.tab.y, 0);
        EXPECT_EQ(layout.tab.width, 519);
        EXPECT_EQ(layout.tab.height, c.tabHeight) << c.contentHeight << " " << c.buttonsTop;
        EXPECT_EQ(layout.page.x, 6);
        EXPECT_EQ(layout.page.y, 24);
        EXPECT_EQ(layout.page.width, 511);
        EXPECT_EQ(layout.page.height, c.pageHeight) << c.contentHeight << " " << c.buttonsTop;
    }
}

// The fixed pixels (the strip's 2, the 150 and 152 below the strip and the pages, the 6 of the
// pages' width, the 4 above the buttons) are those of 96 DPI and grow with the dialog's DPI.
TEST(TabHostRules, FixedPixelsFollowTheDpi) {
    const struct {
        UINT dpi;
        RECT area;
        int contentHeight, buttonsTop;
        Placement tab, page;
    } cases[] = {
        {144, {6, 36, 781, 673}, 300, 620, {3, 0, 778, 448}, {9, 36, 766, 409}},
        {144, {6, 36, 781, 673}, 459, 620, {3, 0, 778, 498}, {9, 36, 766, 459}},  // the list at 144
        {192, {8, 48, 1041, 897}, 612, 820, {4, 0, 1037, 664}, {12, 48, 1021, 612}},
        {192, {8, 48, 1041, 897}, 612, 660, {4, 0, 1037, 652}, {12, 48, 1021, 600}},  // 8 above the buttons
    };
    for (const auto& c : cases) {
        TabHostLayout layout = ArrangeTabHost(c.area, c.contentHeight, c.buttonsTop, c.dpi);
        const Placement* got[] = {&layout.tab, &layout.page};
        const Placement* wanted[] = {&c.tab, &c.page};
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(got[i]->x, wanted[i]->x) << c.dpi << " " << i;
            EXPECT_EQ(got[i]->y, wanted[i]->y) << c.dpi << " " << i;
            EXPECT_EQ(got[i]->width, wanted[i]->width) << c.dpi << " " << i;
            EXPECT_EQ(got[i]->height, wanted[i]->height) << c.dpi << " " << c.buttonsTop << " " << i;
        }
    }
}

TEST(TabHostRules, PageKeysStepRoundThePages) {
    const struct {
        WPARAM key;
        int control;
        int shift;
        int current;
        int page;
    } cases[] = {
        {VK_TAB, 1, 0, 0, 1},   {VK_TAB, 1, 0, 3, 0},   {VK_TAB, 1, 1, 0, 3},   {VK_TAB, 1, 1, 2, 1},
        {VK_NEXT, 1, 0, 2, 3},  {VK_NEXT, 1, 0, 3, 0},  {VK_NEXT, 1, 1, 1, 2},  {VK_PRIOR, 1, 0, 0, 3},
        {VK_PRIOR, 1, 1, 3, 2}, {VK_TAB, 0, 0, 0, -1},  {VK_TAB, 0, 1, 1, -1},  {VK_NEXT, 0, 0, 1, -1},
        {VK_PRIOR, 0, 0, 1, -1}, {VK_RIGHT, 1, 0, 1, -1}, {VK_RETURN, 1, 0, 1, -1}, {'A', 1, 0, 1, -1},
        {VK_TAB, 1, 0, -1, 1},  // no tab selected: from the first
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PageAfterKey(c.key, c.control, c.shift, c.current, 4), c.page)
            << c.key << " control " << c.control << " shift " << c.shift << " from " << c.current;
    }
}

}  // namespace
