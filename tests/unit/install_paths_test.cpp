#include <gtest/gtest.h>

#include "entry/install_paths.h"
#include "resources/resource.h"

TEST(LoadText, PicksLanguageByIndex) {
    wchar_t text[kTextCapacity];
    languageIndex = 0;
    LoadText(IDS_TAB_GRAPHIC, text);
    EXPECT_STREQ(L"Graphic", text);
    languageIndex = 1;
    LoadText(IDS_TAB_GRAPHIC, text);
    EXPECT_STREQ(L"グラフィック", text);
    languageIndex = 7;  // no such language: the default
    LoadText(IDS_TAB_INFORMATION, text);
    EXPECT_STREQ(L"情報", text);
    languageIndex = 1;
}
