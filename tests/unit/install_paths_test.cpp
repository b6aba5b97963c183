

#include "process_records.h"
#include "resources/resource.h"
#include "shared/test_support.h"

namespace {

class InstallPathsTest : public RecordsTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(install_.Made());
        libraryPath_ = install_.File(L"wgconf.dll");
    }

    void Resolve(const std::string& config) {
        if (!config.empty()) install_.Write(L"config.ini", config);
        ResolveInstallPathsFor(libraryPath_.c_str());
    }

    ScratchDirectory install_{L"paths"};
    std::wstring libraryPath_;
};

TEST_F(InstallPathsTest, WithoutConfigBothDirectoriesAreTheLibrarysAndTextsJapanese) {
    Resolve("");
    EXPECT_EQ(install_.Path(), installDirectory);
    EXPECT_EQ(install_.Path(), workDirectory);
    EXPECT_EQ(L'\\', installDirectory[wcslen(installDirectory) - 1]);
    EXPECT_EQ(1, languageIndex);
}

TEST_F(InstallPathsTest, WorkIsTakenAsWritten) {
    Resolve("[DIR]\r\nwork = D:\\Save\\ \r\n[SYSTEM]\r\nlanguage=0\r\n");
    EXPECT_STREQ(L"D:\\Save\\", workDirectory);
    EXPECT_EQ(install_.Path(), installDirectory);
    EXPECT_EQ(0, languageIndex);

    // No backslash added, nothing made absolute.
    Resolve("[dir]\r\nWORK=D:\\Save\r\n");
    EXPECT_STREQ(L"D:\\Save", workDirectory);
    Resolve("[DIR]\r\nwork=Save\\\r\n");
    EXPECT_STREQ(L"Save\\", workDirectory);
    EXPECT_EQ(1, languageIndex);
}

TEST_F(InstallPathsTest, EmptyWorkLeavesTheInstallationDirectory) {
    Resolve("[DIR]\r\nwork=\r\n[SYSTEM]\r\nlanguage=-3\r\n");
    EXPECT_EQ(install_.Path(), workDirectory);
    EXPECT_EQ(-3, languageIndex);
}

TEST_F(InstallPathsTest, UnusablePathKeepsThePreviousDirectory) {
    Resolve("");
    ResolveInstallPathsFor(nullptr);
    EXPECT_EQ(install_.Path(), installDirectory);

    std::wstring tooLong = L"C:\\" + std::wstring(kPathCapacity, L'a') + L"\\wgconf.dll";
    EXPECT_EQ(0, DirectoryOfPath(tooLong.c_str()));
    EXPECT_EQ(install_.Path(), workDirectory);

    // The absolute form uses backslashes throughout.
    EXPECT_EQ(1, DirectoryOfPath(L"C:\\Games\\W/wgconf.dll"));
    EXPECT_STREQ(L"C:\\Games\\W\\", workDirectory);
}

// A library whose full name does not fit the 512-unit buffer: the cut name would point into
// some other directory, so the previous one stays.
TEST_F(InstallPathsTest, CutLibraryNameKeepsThePreviousDirectory) {
    Resolve("");
    std::wstring deep = L"\\\\?\\" + install_.Path();
    std::vector<std::wstring> levels;
    while (deep.size() < kPathCapacity + 40) {
        deep += std::wstring(60, L'd') + L"\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
        levels.push_back(deep);
    }
    std::wstring standIn = ProgramDirectory() + L"DSETUP.dll";
    std::wstring library = deep + L"wgconf.dll";
    ASSERT_TRUE(CopyFileW(standIn.c_str(), library.c_str(), FALSE));
    HMODULE module = LoadLibraryW(library.c_str());
    ASSERT_NE(nullptr, module);
    HINSTANCE saved = moduleHandle;
    moduleHandle = module;
    ResolveInstallPaths();
    moduleHandle = saved;
    FreeLibrary(module);
    DeleteFileW(library.c_str());
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) RemoveDirectoryW(level->c_str());
    EXPECT_EQ(install_.Path(), installDirectory);
    EXPECT_EQ(install_.Path(), workDirectory);
}

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

    // A short buffer is cut and terminated; an unknown id gives the empty text.
    wchar_t shortText[4];
    languageIndex = 0;
    EXPECT_EQ(3, LoadText(IDS_TAB_INFORMATION, shortText, 4));
    EXPECT_STREQ(L"Inf", shortText);
    EXPECT_EQ(0, LoadText(4999, text));
    EXPECT_STREQ(L"", text);
    languageIndex = 1;
}

}  // namespace
