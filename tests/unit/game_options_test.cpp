#include <stdint.h>
#include <stdlib.h>
#include <shlwapi.h>

#include <algorithm>
#include <tuple>

#include "allocation_fake.h"
#include "options_text.h"
#include "process_records.h"
#include "shared/test_support.h"

namespace {

OptionsRecord Valid() {
    OptionsRecord options = {1, 1024, 576, 1, 100, 1, 2, 2, 1, 1, 80, 80, 80, 80};
    return options;
}

OptionsRecord Normalised(OptionsRecord options) {
    NormaliseOptionsForScreen(&options, 1920, 1080);
    return options;
}

TEST(NormaliseOptions, DisplayModeAndSize) {
    struct Case {
        int32_t mode, width, height;
        int32_t expectedMode, expectedWidth, expectedHeight;
    } cases[] = {
        {5, 0, 0, 1, 1024, 576},         // unknown mode: window, and a window without size
        {5, 800, 600, 1, 800, 600},      // unknown mode keeps a size it has
        {-1, 0, 600, 1, 1024, 576},      // negative counts as too large
        {INT32_MIN, 640, 480, 1, 640, 480},
        {2, 800, 600, 2, 1920, 1080},    // pop-up: always the screen
        {2, 0, 0, 2, 1920, 1080},
        {0, 0, 768, 0, 1920, 1080},      // full screen without size: the screen
        {0, 1024, 0, 0, 1920, 1080},
        {0, 640, 480, 0, 640, 480},
        {1, 800, 0, 1, 1024, 576},       // window without size: the default window
        {1, -5, -7, 1, -5, -7},          // non-zero sizes are not judged here
    };
    for (const Case& c : cases) {
        OptionsRecord options = Valid();
        options.displayMode = c.mode;
        options.width = c.width;
        options.height = c.height;
        OptionsRecord result = Normalised(options);
        EXPECT_EQ(c.expectedMode, result.displayMode) << c.mode << " " << c.width << "x" << c.height;
        EXPECT_EQ(c.expectedWidth, result.width) << c.mode << " " << c.width << "x" << c.height;
        EXPECT_EQ(c.expectedHeight, result.height) << c.mode << " " << c.width << "x" << c.height;
    }
    OptionsRecord popup = Valid();
    popup.displayMode = 2;
    NormaliseOptionsForScreen(&popup, -1, 0);  // whatever the screen reports
    EXPECT_EQ(-1, popup.width);
    EXPECT_EQ(0, popup.height);
}

TEST(NormaliseOptions, FlagsAndAmountsUseUnsignedLimits) {
    struct Case {
        int32_t OptionsRecord::*field;
        int32_t value;
        int32_t expected;
    } cases[] = {
        {&OptionsRecord::cursor, 2, 0},          {&OptionsRecord::cursor, -1, 0},
        {&OptionsRecord::cursor, 1, 1},          {&OptionsRecord::cursor, 0, 0},
        {&OptionsRecord::smoke, 1000, 400},      {&OptionsRecord::smoke, -5, 400},
        {&OptionsRecord::smoke, 401, 400},       {&OptionsRecord::smoke, 400, 400},
        {&OptionsRecord::smoke, 0, 0},           {&OptionsRecord::vectorcamera, 2, 1},
        {&OptionsRecord::vectorcamera, -1, 1},   {&OptionsRecord::vectorcamera, 0, 0},
        {&OptionsRecord::smokebutton, 7, 1},     {&OptionsRecord::smokebutton, INT32_MIN, 1},
        {&OptionsRecord::smokebutton, 0, 0},     {&OptionsRecord::soundMode, 2, 1},
        {&OptionsRecord::soundMode, -1, 1},      {&OptionsRecord::soundMode, 0, 0},
        {&OptionsRecord::bgm, 150, 80},          {&OptionsRecord::bgm, -1, 80},
        {&OptionsRecord::bgm, 101, 80},          {&OptionsRecord::bgm, 100, 100},
        {&OptionsRecord::bgm, 0, 0},             {&OptionsRecord::plane, 101, 80},
        {&OptionsRecord::plane, -100, 80},       {&OptionsRecord::cockpit, 1000, 80},
        {&OptionsRecord::cockpit, 55, 55},       {&OptionsRecord::voice, -2, 80},
        {&OptionsRecord::voice, 100, 100},       {&OptionsRecord::antialias, 99, 99},
        {&OptionsRecord::antialias, -3, -3},     {&OptionsRecord::anisotropy, 1000, 1000},
    };
    for (const auto& c : cases) {
        OptionsRecord options = Valid();
        options.*c.field = c.value;
        OptionsRecord result = Normalised(options);
        OptionsRecord expected = Valid();
        expected.*c.field = c.expected;
        EXPECT_EQ(0, memcmp(&expected, &result, sizeof(result))) << "value " << c.value << " gave " << result.*c.field;
    }
}

class GameOptionsTest : public RecordsTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(installScratch.Made() && workScratch.Made());
        SetDirectories(install, work);
        FreeIniDocument();
    }
    void TearDown() override {
        FreeIniDocument();
    }
    static std::wstring OptionPath() {
        wchar_t path[kPathCapacity];
        GameOptionPath(path);
        return path;
    }
    // The display mode and size of the record.
    static std::tuple<int32_t, int32_t, int32_t> Display() {
        return std::make_tuple(gameOptions.displayMode, gameOptions.width, gameOptions.height);
    }
    ScratchDirectory installScratch{L"opt-install"}, workScratch{L"opt-work"};
    const std::wstring install = installScratch.Path(), work = workScratch.Path();
};

TEST_F(GameOptionsTest, PathPrefersAnExistingWorkDirectory) {
    EXPECT_EQ(work + L"GameOption.ini", OptionPath());

    SetDirectories(install, work + L"absent\\");
    EXPECT_EQ(install + L"GameOption.ini", OptionPath());

    // The same text names the work directory even when it does not exist.
    SetDirectories(L"Z:\\nowhere\\Game\\", L"Z:\\nowhere\\Game\\");
    EXPECT_EQ(L"Z:\\nowhere\\Game\\GameOption.ini", OptionPath());
    // ... and the comparison is exact.
    SetDirectories(L"Z:\\nowhere\\Game\\", L"Z:\\NOWHERE\\game\\");
    EXPECT_EQ(L"Z:\\nowhere\\Game\\GameOption.ini", OptionPath());

    // A work directory without its backslash is used as written.
    std::wstring bare = work.substr(0, work.size() - 1);
    SetDirectories(install, bare);
    EXPECT_EQ(bare + L"GameOption.ini", OptionPath());

    // A path that would not fit is not cut into the name of some other file.
    std::wstring deep = L"Z:\\" + std::wstring(kPathCapacity - 17, L'd') + L"\\";
    SetDirectories(deep, deep);
    EXPECT_EQ(L"", OptionPath());
    std::wstring fits = L"Z:\\" + std::wstring(kPathCapacity - 19, L'd') + L"\\";
    SetDirectories(fits, fits);
    EXPECT_EQ(fits + L"GameOption.ini", OptionPath());
    EXPECT_EQ(static_cast<size_t>(kPathCapacity - 1), OptionPath().size());
}

TEST_F(GameOptionsTest, LoadWithoutFileGivesDefaults) {
    gameOptions = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    LoadGameOptions();
    OptionsRecord expected = Valid();
    EXPECT_EQ(0, memcmp(&expected, &gameOptions, sizeof(expected)));
    EXPECT_EQ(nullptr, iniDocument.sections);
}

TEST_F(GameOptionsTest, LoadReadsTheKeysAndCorrectsThem) {
    EXPECT_TRUE(WriteBytes(work + L"GameOption.ini",
            "[SOUND]\r\nmode=0\r\n[DISPLAY]\r\nMODE=0\r\nwidth=800\r\nheight=600\r\n"
            "[SYSTEM]\r\ncursor=-1\r\nsmoke=\"250\"\r\nvectorcamera=0\r\nantialias=99\r\nanisotropy=16\r\n"
            "[INPUT]\r\nsmokebutton=0\r\n[VOLUME]\r\nbgm=150\r\nplane=0\r\ncockpit=100\r\nvoice=\r\n"));
    EXPECT_TRUE(WriteBytes(install + L"GameOption.ini", "[DISPLAY]\r\nwidth=1\r\n"));  // not used: work exists
    LoadGameOptions();
    OptionsRecord expected = {0, 800, 600, 0, 250, 0, 99, 16, 0, 0, 80, 0, 100, 0};
    EXPECT_EQ(0, memcmp(&expected, &gameOptions, sizeof(expected)));

    EXPECT_TRUE(WriteBytes(work + L"GameOption.ini", "[DISPLAY]\r\nmode=2\r\nwidth=800\r\nheight=600\r\n"));
    LoadGameOptions();
    EXPECT_EQ(Display(), std::make_tuple(2, 1600, 1200));  // pop-up: the harness's screen

    EXPECT_TRUE(WriteBytes(work + L"GameOption.ini", "[DISPLAY]\r\nmode=5\r\nwidth=0\r\nheight=600\r\n"));
    LoadGameOptions();
    EXPECT_EQ(Display(), std::make_tuple(1, 1024, 576));
    EXPECT_TRUE(WriteBytes(work + L"GameOption.ini", "[DISPLAY]\r\nmode=5\r\nheight=600\r\n"));  // width: default
    LoadGameOptions();
    EXPECT_EQ(Display(), std::make_tuple(1, 1024, 600));

    // Without the work directory the installation's file is read.
    SetDirectories(install, work + L"absent\\");
    LoadGameOptions();
    EXPECT_EQ(1, gameOptions.width);
    EXPECT_EQ(576, gameOptions.height);
}

const char kFreshFile[] =
    "[DISPLAY]\r\nmode=1\r\nwidth=1024\r\nheight=576\r\n\r\n"
    "[SYSTEM]\r\ncursor=1\r\nsmoke=100\r\nvectorcamera=1\r\nantialias=2\r\nanisotropy=2\r\n\r\n"
    "[INPUT]\r\nsmokebutton=1\r\n\r\n"
    "[SOUND]\r\nmode=1\r\n\r\n"
    "[VOLUME]\r\nbgm=80\r\nplane=80\r\ncockpit=80\r\nvoice=80\r\n\r\n";

TEST_F(GameOptionsTest, SaveWithoutFileWritesTheFiveSections) {
    LoadGameOptions();
    EXPECT_EQ(1, SaveGameOptions());
    EXPECT_EQ(kFreshFile, FileText(work + L"GameOption.ini"));
    EXPECT_EQ("<missing>", FileText(install + L"GameOption.ini"));
    EXPECT_EQ(nullptr, iniDocument.sections);

    // A work directory that does not exist sends the file to the installation directory.
    SetDirectories(install, work + L"absent\\");
    EXPECT_EQ(1, SaveGameOptions());
    EXPECT_EQ(kFreshFile, FileText(install + L"GameOption.ini"));
}

TEST_F(GameOptionsTest, SaveKeepsTheRestOfTheFile) {
    std::wstring path = work + L"GameOption.ini";
    EXPECT_TRUE(WriteBytes(path,
            "# written by hand\r\n[JOYSTICK]\r\nid=3\r\n\r\n[VOLUME]\r\nvoice=10\r\nextra = yes\r\n"
            "[DISPLAY]\r\n# size\r\nheight=1\r\nWidth=2\r\n"));
    gameOptions = {0, 1280, 720, 0, -5, 1, 8, 16, 0, 0, INT32_MIN, INT32_MAX, 0, 100};
    EXPECT_EQ(1, SaveGameOptions());
    EXPECT_EQ(
        "# written by hand\r\n\r\n"
        "[JOYSTICK]\r\nid=3\r\n\r\n"
        "[VOLUME]\r\nvoice=100\r\nextra= yes\r\nbgm=-2147483648\r\nplane=2147483647\r\ncockpit=0\r\n\r\n"
        "[DISPLAY]\r\n# size\r\nheight=720\r\nWidth=1280\r\nmode=0\r\n\r\n"
        "[SYSTEM]\r\ncursor=0\r\nsmoke=-5\r\nvectorcamera=1\r\nantialias=8\r\nanisotropy=16\r\n\r\n"
        "[INPUT]\r\nsmokebutton=0\r\n\r\n"
        "[SOUND]\r\nmode=0\r\n\r\n",
        FileText(path));
    LoadGameOptions();
    OptionsRecord expected = {0, 1280, 720, 0, 400, 1, 8, 16, 0, 0, 80, 80, 0, 100};
    EXPECT_EQ(0, memcmp(&expected, &gameOptions, sizeof(expected)));
}

// GameOption.ini as a text editor saves it in the encoding: its mark, then the text.
// The player's file in the layout a save writes, so that the save changes only bgm.
std::wstring PlayerFile(const std::wstring& name, int bgm) {
    return L"# mine\r\n\r\n[PILOT]\r\nname=" + name + L"\r\n\r\n"
           L"[DISPLAY]\r\nmode=0\r\nwidth=1280\r\nheight=720\r\n\r\n"
           L"[SYSTEM]\r\ncursor=0\r\nsmoke=250\r\nvectorcamera=0\r\nantialias=4\r\nanisotropy=8\r\n\r\n"
           L"[INPUT]\r\nsmokebutton=0\r\n\r\n[SOUND]\r\nmode=0\r\n\r\n"
           L"[VOLUME]\r\nbgm=" + std::to_wstring(bgm) + L"\r\nplane=60\r\ncockpit=50\r\nvoice=40\r\n\r\n";
}

// A file saved by a text editor as UTF-8 or UTF-16 with a mark keeps its encoding, its mark and
// everything else through a save, and the platform's profile reader then reads the tool's
// fourteen values and the player's own text from it. A file without a mark stays ANSI.
TEST_F(GameOptionsTest, SaveKeepsTheEncodingThePlayersFileHad) {
    const struct {
        const char* label;
        int32_t encoding;
        const wchar_t* name;
    } cases[] = {
        {"UTF-8", kIniUtf8, L"Zo\u00eb \u65e5\u672c"},
        {"UTF-16LE", kIniUtf16Le, L"Zo\u00eb \u65e5\u672c"},
        {"UTF-16BE", kIniUtf16Be, L"Zo\u00eb \u65e5\u672c"},
        {"ANSI", kIniAnsi, L"Zo\u00eb"},
    };
    const int32_t saved[14] = {0, 1280, 720, 0, 250, 0, 4, 8, 0, 0, 55, 60, 50, 40};
    std::wstring path = work + L"GameOption.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(WriteBytes(path, Encoded(PlayerFile(c.name, 70), c.encoding)));
        LoadGameOptions();
        EXPECT_EQ(70, gameOptions.bgm);
        EXPECT_EQ(1280, gameOptions.width);
        gameOptions.bgm = 55;
        ASSERT_EQ(1, SaveGameOptions());
        EXPECT_EQ(Encoded(PlayerFile(c.name, 55), c.encoding), FileText(path));

        LoadGameOptions();
        EXPECT_EQ(0, memcmp(saved, &gameOptions, sizeof(saved)));
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());  // no cached copy
        for (int i = 0; i < 14; ++i) {
            const OptionKey& key = kOptionKeys[i];
            EXPECT_EQ(saved[i], static_cast<int32_t>(GetPrivateProfileIntW(key.section, key.key, -1, path.c_str())))
                << key.key;
        }
        wchar_t name[64] = L"";
        GetPrivateProfileStringW(L"PILOT", L"name", L"<none>", name, 64, path.c_str());
        EXPECT_STREQ(c.name, name);
    }
}

TEST_F(GameOptionsTest, SaveLeavesAFileItCannotReadAlone) {
    std::wstring path = work + L"GameOption.ini";
    const char original[] = "[JOYSTICK]\r\nid=3\r\n";
    EXPECT_TRUE(WriteBytes(path, original));
    LoadGameOptions();

    // Held open by another program: neither read nor replaced.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, SaveGameOptions());
    CloseHandle(held);
    EXPECT_EQ(original, FileText(path));

    // Readable but not loaded (no memory for it): the save must not write the keys alone.
    UseAllocationFake(0);
    EXPECT_EQ(0, SaveGameOptions());
    EXPECT_EQ(original, FileText(path));
    iniAllocate = malloc;

    // Opened but its bytes cannot be read, while it could still be replaced: the same.
    filePlatform.readFile = FailingReadFile;
    EXPECT_EQ(0, SaveGameOptions());
    filePlatform.readFile = records.files.saved.readFile;
    EXPECT_EQ(original, FileText(path));

    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, SaveGameOptions());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(original, FileText(path));
    EXPECT_EQ(nullptr, iniDocument.sections);

    EXPECT_EQ(1, SaveGameOptions());
    EXPECT_EQ(0u, FileText(path).find(original));

    // Nowhere to write: the installation directory is gone as well.
    SetDirectories(install + L"gone\\", work + L"absent\\");
    EXPECT_EQ(0, SaveGameOptions());
}

}  // namespace

// ---- Real file-system faults ----------------------------------------------------------------
//
// tests/save_faults.sh makes the folders below as root in a private namespace and names their
// parent in WGCONF_FAULT_DIR: folders that take no new files (chattr +i) or no renames (chattr +a),
// and 64 KiB tmpfs mounts that fill up. Without it these tests are skipped.

namespace {

class SaveFaultTest : public GameOptionsTest {
protected:
    void SetUp() override {
        faults = FaultFolders();
        if (faults.empty()) GTEST_SKIP() << "needs the file-system faults that tests/save_faults.sh makes";
        ASSERT_NO_FATAL_FAILURE(GameOptionsTest::SetUp());
    }
    // One of the prepared folders, made the work and installation directory.
    std::wstring UseFolder(const wchar_t* name) {
        std::wstring folder = faults + name + L"\\";
        EXPECT_TRUE(PathIsDirectoryW(folder.c_str())) << "not prepared: " << std::string(folder.begin(), folder.end());
        SetDirectories(folder, folder);
        return folder;
    }
    static std::vector<std::wstring> FilesIn(const std::wstring& folder) {
        std::vector<std::wstring> names = FileNamesIn(folder);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::wstring faults;
};

// Writes until the disk refuses, then gives back `spare` bytes; the bytes kept.
size_t FillDisk(const std::wstring& path, size_t spare) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    static const char chunk[1024] = {};
    size_t total = 0;
    DWORD done = sizeof(chunk);
    while (done == sizeof(chunk) && total < (1u << 20)) {
        if (!WriteFile(file, chunk, sizeof(chunk), &done, nullptr)) done = 0;
        total += done;
    }
    if (spare > 0) {
        total = total > spare ? total - spare : 0;
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(total);
        if (!SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) total = 0;
    }
    CloseHandle(file);
    return total;
}

}  // namespace

// A folder that lets the player write GameOption.ini but takes no new file, or refuses to
// rename one over it: the file is rewritten in place, with the bytes a replace would give
// (in the file's encoding), growing and shrinking, and stays hidden.
TEST_F(SaveFaultTest, FoldersThatRefuseAReplaceAreSavedInPlace) {
    const std::wstring fresh(kFreshFile, kFreshFile + strlen(kFreshFile));
    for (const wchar_t* name : {L"locked", L"append-only"}) {
        std::wstring path = UseFolder(name) + L"GameOption.ini";
        for (int32_t encoding : {kIniAnsi, kIniUtf16Be}) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_TRUE(WriteBytes(path, Encoded(L"[JOYSTICK]\r\nid=3\r\n", encoding)));
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
            SetDefaultOptions(&gameOptions);
            EXPECT_EQ(1, SaveGameOptions());
            EXPECT_EQ(Encoded(L"[JOYSTICK]\r\nid=3\r\n\r\n" + fresh, encoding), FileText(path));
            EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        }

        std::string padded = kFreshFile;
        padded.replace(padded.find("width=") + 6, 0, std::string(300, '0'));
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(WriteBytes(path, padded));
        EXPECT_EQ(1, SaveGameOptions());
        EXPECT_EQ(kFreshFile, FileText(path));
    }
    // Only the locked folder is sure to hold nothing else: the append-only one keeps the new
    // file it could not rename.
    EXPECT_EQ(std::vector<std::wstring>{L"GameOption.ini"}, FilesIn(UseFolder(L"locked")));

    // Without a file there is nothing to rewrite.
    std::wstring empty = UseFolder(L"locked-empty");
    EXPECT_EQ(0, SaveGameOptions());
    EXPECT_TRUE(FilesIn(empty).empty());
}

// A full disk stops the save and leaves the old file byte for byte, both when the new file
// beside it is cut short (one page was left) and when the file itself is rewritten; with room
// again the same save succeeds. A rewrite in place that needs no more room succeeds even on
// the full disk.
TEST_F(SaveFaultTest, FullDiskLeavesTheOldFile) {
    const struct {
        const wchar_t* folder;
        size_t spare;
        int resavedWhenFull;
        int32_t encoding;
    } cases[] = {{L"full", 4096, 0, kIniAnsi},
                 {L"full-locked", 0, 1, kIniAnsi},
                 {L"full", 4096, 0, kIniUtf16Le},
                 {L"full-locked", 0, 1, kIniUtf16Le}};
    for (const auto& c : cases) {
        // Just under one page: the rewrite needs a second page that the full disk does not
        // have, and differs from the old bytes from the first line on.
        size_t noteLength = c.encoding == kIniAnsi ? 3980 : 1980;
        std::wstring notes = L"[NOTES]\r\nnote=" + std::wstring(noteLength, L'n') + L"\r\n";
        std::string original = Encoded(L"[DISPLAY]\r\nwidth=1\r\n" + notes, c.encoding);
        std::wstring fresh(kFreshFile, kFreshFile + strlen(kFreshFile));
        std::string saved = Encoded(L"[DISPLAY]\r\nwidth=1024\r\nmode=1\r\nheight=576\r\n\r\n" + notes + L"\r\n" +
                                        fresh.substr(fresh.find(L"[SYSTEM]")),
                                    c.encoding);
        ASSERT_LT(original.size(), 4096u);
        ASSERT_GT(saved.size(), 4096u);
        std::wstring folder = UseFolder(c.folder);
        std::wstring path = folder + L"GameOption.ini";
        EXPECT_TRUE(WriteBytes(path, original));
        ASSERT_GT(FillDisk(folder + L"filler", c.spare), 0u);
        SetDefaultOptions(&gameOptions);
        EXPECT_EQ(0, SaveGameOptions()) << std::string(folder.begin(), folder.end());
        EXPECT_EQ(original, FileText(path));
        EXPECT_EQ((std::vector<std::wstring>{L"GameOption.ini", L"filler"}), FilesIn(folder));

        EXPECT_TRUE(WriteBytes(folder + L"filler", ""));
        EXPECT_EQ(1, SaveGameOptions());
        EXPECT_EQ(saved, FileText(path));

        ASSERT_GT(FillDisk(folder + L"filler", c.spare), 0u);
        EXPECT_EQ(c.resavedWhenFull, SaveGameOptions());
        EXPECT_EQ(saved, FileText(path));
        EXPECT_EQ((std::vector<std::wstring>{L"GameOption.ini", L"filler"}), FilesIn(folder));
    }
}
