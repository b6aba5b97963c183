

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

// Without its own folder, or with one whose files' paths would not fit, the tool has no
// installation at all: both directories empty, so that nothing is looked for through the
// current directory.
TEST_F(InstallPathsTest, UnusableLibraryPathGivesNoInstallation) {
    // 501 units: config.ini makes 511, the most that a path holds.
    const std::wstring longest = L"C:\\" + std::wstring(kPathCapacity - 15, L'a') + L"\\";
    const struct {
        const char* what;
        std::wstring libraryPath;
        int resolved;
        std::wstring directory;
    } cases[] = {
        {"no file name", L"", 0, L""},
        {"config.ini fits exactly", longest + L"wgconf.dll", 1, longest},
        // A library of a shorter name fits where config.ini does not.
        {"config.ini one unit over", L"C:\\" + std::wstring(kPathCapacity - 14, L'a') + L"\\w.dll", 0, L""},
        {"forward slashes", L"C:\\Games\\W/wgconf.dll", 1, L"C:\\Games\\W\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Resolve("");
        EXPECT_EQ(c.resolved, ResolveInstallPathsFor(c.libraryPath.empty() ? nullptr : c.libraryPath.c_str()));
        EXPECT_EQ(c.directory, installDirectory);
        EXPECT_EQ(c.directory, workDirectory);
    }

    // DirectoryOfPath alone changes nothing when it fails.
    Resolve("");
    EXPECT_EQ(0, DirectoryOfPath((L"C:\\" + std::wstring(kPathCapacity, L'a') + L"\\wgconf.dll").c_str()));
    EXPECT_EQ(install_.Path(), workDirectory);
}

// A library whose full name does not fit the 512-unit buffer: the cut name would point into
// some other directory, so there is no installation.
TEST_F(InstallPathsTest, CutLibraryNameGivesNoInstallation) {
    Resolve("");
    std::wstring deep = MakeDeepDirectory(install_.Path(), kPathCapacity + 40);
    ASSERT_FALSE(deep.empty());
    std::wstring standIn = ProgramDirectory() + L"DSETUP.dll";
    std::wstring library = deep + L"wgconf.dll";
    ASSERT_TRUE(CopyFileW(standIn.c_str(), library.c_str(), FALSE));
    HMODULE module = LoadLibraryW(library.c_str());
    ASSERT_NE(nullptr, module);
    HINSTANCE saved = moduleHandle;
    moduleHandle = module;
    int resolved = ResolveInstallPaths();
    moduleHandle = saved;
    FreeLibrary(module);
    EXPECT_TRUE(RemoveTree(L"\\\\?\\" + install_.Path()));
    EXPECT_EQ(0, resolved);
    EXPECT_STREQ(L"", installDirectory);
    EXPECT_STREQ(L"", workDirectory);
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
