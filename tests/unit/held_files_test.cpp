// The player's files as other programs leave them: held by a scanner or an editor, too large
// for the document, or in a work folder of 300 characters. Real files throughout; the test's
// own are only the wait between tries, which lets the holder go when the test says, and reads
// that meet locked bytes, which Wine never refuses.
#include <stdlib.h>

#include <functional>

#include "allocation_fake.h"
#include "dialog/dialog.h"
#include "process_records.h"
#include "shared/test_support.h"

namespace {

// The injected wait: counts the waits and the time asked for, and lets the holder go at the
// wait numbered releaseAt (0: never).
struct WaitLog {
    int calls;
    DWORD milliseconds;
    int releaseAt;
    FileHolder* holder;
};
WaitLog waitLog;

void WINAPI RecordWait(DWORD milliseconds) {
    ++waitLog.calls;
    waitLog.milliseconds += milliseconds;
    if (waitLog.calls == waitLog.releaseAt && waitLog.holder) waitLog.holder->Release();
}

void LogWaits(FileHolder* holder, int releaseAt) {
    waitLog = {0, 0, releaseAt, holder};
    filePlatform.wait = RecordWait;
}

// The injected read: the first lockedReads reads meet bytes that another program has locked
// (Wine lets a real locked read through), the later ones read.
int lockedReads;
BOOL WINAPI ReadPastALock(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
    if (lockedReads > 0) {
        --lockedReads;
        *read = 0;
        SetLastError(ERROR_LOCK_VIOLATION);
        return FALSE;
    }
    return ReadFile(file, buffer, size, read, overlapped);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    return at == std::string::npos ? "<no " + from + ">" : text.replace(at, from.size(), to);
}

// The player's own settings, in the layout a save writes: a save of the same values leaves the
// bytes as they are.
const char kPlayersFile[] =
    "# mine\r\n\r\n"
    "[DISPLAY]\r\nmode=0\r\nwidth=1280\r\nheight=720\r\n\r\n"
    "[SYSTEM]\r\ncursor=0\r\nsmoke=250\r\nvectorcamera=0\r\nantialias=4\r\nanisotropy=8\r\n\r\n"
    "[INPUT]\r\nsmokebutton=0\r\n\r\n[SOUND]\r\nmode=0\r\n\r\n"
    "[VOLUME]\r\nbgm=33\r\nplane=60\r\ncockpit=50\r\nvoice=40\r\n\r\n";
const OptionsRecord kPlayersOptions = {0, 1280, 720, 0, 250, 0, 4, 8, 0, 0, 33, 60, 50, 40};
const OptionsRecord kDefaultOptions = {1, 1024, 576, 1, 100, 1, 2, 2, 1, 1, 80, 80, 80, 80};

bool Same(const OptionsRecord& expected, const OptionsRecord& actual) {
    return memcmp(&expected, &actual, sizeof(expected)) == 0;
}

class PlayersFileTest : public RecordsTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.Made());
        install = root.MakeDirectory(L"install");
        work = root.MakeDirectory(L"work");
        SetDirectories(install, work);
        path = work + L"GameOption.ini";
        ASSERT_TRUE(WriteBytes(path, kPlayersFile));
        FreeIniDocument();
    }
    void TearDown() override { FreeIniDocument(); }

    ScratchDirectory root{L"held"};
    std::wstring install, work, path;
};

}  // namespace

TEST(QueryFileSize, SizeOrMinusOne) {
    ScratchDirectory temp(L"sizes");
    ASSERT_TRUE(temp.Made());
    EXPECT_EQ(QueryFileSize(temp.Write(L"five.txt", "12345").c_str()), 5);
    EXPECT_EQ(QueryFileSize(temp.Write(L"empty.txt", "").c_str()), 0);
    EXPECT_EQ(QueryFileSize(temp.File(L"missing.txt").c_str()), -1);
    std::wstring directory = temp.MakeDirectory(L"folder");
    directory.pop_back();
    EXPECT_EQ(QueryFileSize(directory.c_str()), -1);
}

// A file held without sharing, or with its bytes locked, is tried again five times, 200 ms
// apart, and read as soon as the holder lets go; a reader's sharing lets it be read at once.
TEST_F(PlayersFileTest, WholeFileReadWaitsForAHolderToLetGo) {
    const struct {
        const char* what;
        DWORD sharing;
        int releaseAt;
        int lockedReads;
        int result;
        int waits;
        DWORD waited;
    } cases[] = {
        {"a scanner lets go at the first wait", 0, 1, 0, kWholeFileRead, 1, 200},
        {"a scanner lets go at the last wait", 0, 5, 0, kWholeFileRead, 5, 1000},
        {"a scanner never lets go", 0, 0, 0, kWholeFileNotOpened, 5, 1000},
        {"an editor shares reading", FILE_SHARE_READ, 0, 0, kWholeFileRead, 0, 0},
        {"an editor locks the bytes for two reads", FILE_SHARE_READ, 0, 2, kWholeFileRead, 2, 400},
        {"an editor locks the bytes for every read", FILE_SHARE_READ, 0, 6, kWholeFileNotRead, 5, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FileHolder holder(path, c.sharing);
        ASSERT_TRUE(holder.Holding());
        LogWaits(&holder, c.releaseAt);
        lockedReads = c.lockedReads;
        filePlatform.readFile = ReadPastALock;
        char* bytes = nullptr;
        DWORD count = 0;
        EXPECT_EQ(c.result, LoadWholeFile(path.c_str(), 1 << 20, malloc, &bytes, &count));
        EXPECT_EQ(c.waits, waitLog.calls);
        EXPECT_EQ(c.waited, waitLog.milliseconds);
        EXPECT_EQ(c.result == kWholeFileRead ? std::string(kPlayersFile) : std::string(), bytes ? bytes : "");
        EXPECT_EQ(c.result == kWholeFileRead ? sizeof(kPlayersFile) - 1 : 0u, count);
        free(bytes);
    }
    // Nothing to wait for: a missing file, a folder, a file larger than the limit.
    LogWaits(nullptr, 0);
    char* bytes = nullptr;
    DWORD count = 0;
    EXPECT_EQ(kWholeFileMissing, LoadWholeFile((work + L"none.ini").c_str(), 1 << 20, malloc, &bytes, &count));
    EXPECT_EQ(kWholeFileMissing, LoadWholeFile((work + L"none\\x.ini").c_str(), 1 << 20, malloc, &bytes, &count));
    EXPECT_EQ(kWholeFileNotOpened, LoadWholeFile(install.c_str(), 1 << 20, malloc, &bytes, &count));
    EXPECT_EQ(kWholeFileNoMemory, LoadWholeFile(path.c_str(), sizeof(kPlayersFile) - 2, malloc, &bytes, &count));
    EXPECT_EQ(nullptr, bytes);
    EXPECT_EQ(0, waitLog.calls);
}

// Start-up meets GameOption.ini held by a scanner. When it lets go within the retries the
// player's values are read; when it holds on, the dialog shows the defaults and OK writes only
// what the player changed (the screen keys as one), every key after Initialize, all fourteen
// when the file has gone meanwhile, and nothing at all when nothing changed.
TEST_F(PlayersFileTest, StartUpThatCouldNotReadSavesOnlyWhatChanged) {
    const struct {
        const char* what;
        int releaseAt;  // the scanner's last wait at start-up; 0: it holds on through start-up
        std::function<void()> change;
        std::string saved;
    } cases[] = {
        {"let go at the first wait; the music changed", 1, [] { gameOptions.bgm = 50; },
         Replaced(kPlayersFile, "bgm=33", "bgm=50")},
        {"held on; nothing changed", 0, [] {}, kPlayersFile},
        {"held on; a change undone", 0, [] { gameOptions.voice = 10; gameOptions.voice = 80; }, kPlayersFile},
        {"held on; the music changed", 0, [] { gameOptions.bgm = 50; }, Replaced(kPlayersFile, "bgm=33", "bgm=50")},
        {"held on; the height alone changed", 0, [] { gameOptions.height = 768; },
         Replaced(kPlayersFile, "mode=0\r\nwidth=1280\r\nheight=720", "mode=1\r\nwidth=1024\r\nheight=768")},
        {"held on; Initialize", 0, [] { ResetGameOptions(); },
         "# mine\r\n\r\n"
         "[DISPLAY]\r\nmode=1\r\nwidth=1024\r\nheight=576\r\n\r\n"
         "[SYSTEM]\r\ncursor=1\r\nsmoke=100\r\nvectorcamera=1\r\nantialias=0\r\nanisotropy=0\r\n\r\n"
         "[INPUT]\r\nsmokebutton=1\r\n\r\n[SOUND]\r\nmode=1\r\n\r\n"
         "[VOLUME]\r\nbgm=80\r\nplane=80\r\ncockpit=80\r\nvoice=80\r\n\r\n"},
        {"held on; the file deleted before OK", 0, [&] { DeleteFileW(path.c_str()); },
         "[DISPLAY]\r\nmode=1\r\nwidth=1024\r\nheight=576\r\n\r\n"
         "[SYSTEM]\r\ncursor=1\r\nsmoke=100\r\nvectorcamera=1\r\nantialias=2\r\nanisotropy=2\r\n\r\n"
         "[INPUT]\r\nsmokebutton=1\r\n\r\n[SOUND]\r\nmode=1\r\n\r\n"
         "[VOLUME]\r\nbgm=80\r\nplane=80\r\ncockpit=80\r\nvoice=80\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(path, kPlayersFile));
        {
            FileHolder scanner(path, 0);
            ASSERT_TRUE(scanner.Holding());
            LogWaits(&scanner, c.releaseAt);
            LoadGameOptions();
        }
        EXPECT_TRUE(Same(c.releaseAt ? kPlayersOptions : kDefaultOptions, gameOptions));
        c.change();
        EXPECT_EQ(1, SaveGameOptions());
        EXPECT_EQ(c.saved, FileText(path));
    }
}

// A file the document cannot hold whole (an allocation fails partway through its lines) loads
// as nothing; start-up shows the defaults, and a save that meets the same failure keeps the
// file byte for byte. With memory again OK writes the one change.
TEST_F(PlayersFileTest, LoadThatCannotHoldTheFileFailsAsAWhole) {
    UseAllocationFake(6);  // bytes, text, sections, the comment and its array, mode's value; not its array
    EXPECT_EQ(0, LoadIniDocument(path.c_str()));
    EXPECT_EQ(nullptr, iniDocument.sections);
    allocationFake.allowed = 6;
    LoadGameOptions();
    EXPECT_TRUE(Same(kDefaultOptions, gameOptions));
    gameOptions.bgm = 50;
    allocationFake.allowed = 6;
    EXPECT_EQ(0, SaveGameOptions());
    EXPECT_EQ(kPlayersFile, FileText(path));

    iniAllocate = malloc;
    EXPECT_EQ(1, SaveGameOptions());
    EXPECT_EQ(Replaced(kPlayersFile, "bgm=33", "bgm=50"), FileText(path));
}

// A key that cannot be set (its value's copy finds no memory) refuses the save: written
// without it, the file would lose the player's value of that key.
TEST_F(PlayersFileTest, KeyThatCannotBeSetRefusesTheSave) {
    UseAllocationFake();
    ASSERT_EQ(1, LoadIniDocument(path.c_str()));
    FreeIniDocument();
    const int loading = static_cast<int>(allocationFake.count);
    gameOptions = kPlayersOptions;
    gameOptions.bgm = 50;
    UseAllocationFake(loading, 1);  // the load, then one allocation of the first key fails
    EXPECT_EQ(0, SaveGameOptions());
    EXPECT_EQ(kPlayersFile, FileText(path));
    iniAllocate = malloc;
}

// Held at OK: an editor's hold (reads shared) lets the file be read but not replaced, a
// scanner's neither. The save fails and the file keeps its bytes; once let go, the same save
// succeeds.
TEST_F(PlayersFileTest, SaveWhileHeldKeepsTheFile) {
    const struct {
        const char* what;
        DWORD sharing;
        int waits;
    } cases[] = {
        {"an editor", FILE_SHARE_READ, 0},
        {"a scanner", 0, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(path, kPlayersFile));
        LoadGameOptions();
        gameOptions.bgm = 50;
        FileHolder holder(path, c.sharing);
        ASSERT_TRUE(holder.Holding());
        LogWaits(&holder, 0);
        EXPECT_EQ(0, SaveGameOptions());
        EXPECT_EQ(c.waits, waitLog.calls);
        holder.Release();
        EXPECT_EQ(kPlayersFile, FileText(path));
        EXPECT_EQ(1, SaveGameOptions());
        EXPECT_EQ(Replaced(kPlayersFile, "bgm=33", "bgm=50"), FileText(path));
    }
}

// [DIR] work is taken whole up to 480 characters, so that the longest file name built on it
// (JoyStickUser\SelectJoyStick.ini, 31) still fits a path of 511; anything longer is refused.
TEST(WorkValue, FitsWithEveryFileBuiltOnIt) {
    const struct {
        int length;
        int fits;
    } cases[] = {{0, 0}, {1, 1}, {300, 1}, {480, 1}, {481, 0}, {511, 0}, {512, 0}};
    for (const auto& c : cases) EXPECT_EQ(c.fits, WorkValueFits(c.length)) << c.length;
}

// A work folder of about 300 characters deep in the player's profile is read whole from
// config.ini, and GameOption.ini is read and written there; a value too long to be used
// whole leaves the installation directory as the work directory.
TEST_F(PlayersFileTest, LongWorkFolderIsUsedWhole) {
    std::wstring deep = root.Path();
    while (deep.size() < 300) {
        deep += L"Saved Games folder\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_TRUE(WriteBytes(deep + L"GameOption.ini", kPlayersFile));
    ASSERT_TRUE(WriteBytes(install + L"config.ini", "[DIR]\r\nwork=" + Utf8(deep) + "\r\n"));
    ResolveInstallPathsFor((install + L"wgconf.dll").c_str());
    EXPECT_EQ(install, installDirectory);
    EXPECT_EQ(deep, workDirectory);
    LoadGameOptions();
    EXPECT_TRUE(Same(kPlayersOptions, gameOptions));
    gameOptions.bgm = 50;
    EXPECT_EQ(1, SaveGameOptions());
    EXPECT_EQ(Replaced(kPlayersFile, "bgm=33", "bgm=50"), FileText(deep + L"GameOption.ini"));
    EXPECT_FALSE(FileExists(install + L"GameOption.ini"));

    for (size_t length : {481u, 600u}) {
        std::string tooLong = Utf8(deep) + std::string(length - deep.size(), 'x');
        ASSERT_TRUE(WriteBytes(install + L"config.ini", "[DIR]\r\nwork=" + tooLong + "\r\n"));
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, (install + L"config.ini").c_str());  // no cached copy
        ResolveInstallPathsFor((install + L"wgconf.dll").c_str());
        EXPECT_EQ(install, workDirectory) << length;
    }
}
