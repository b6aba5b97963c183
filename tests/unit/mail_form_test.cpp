
#include <algorithm>
#include <functional>
#include <memory>

#include "process_records.h"
#include "support_fixtures.h"
#include "shared/test_support.h"

TEST(FindMarker, ByteExactFirstOccurrence) {
    EXPECT_EQ(4, FindMarker("head</pre>mid</pre>", "</pre>"));
    EXPECT_EQ(0, FindMarker("{}tail", "{}"));
    EXPECT_EQ(2, FindMarker("a{{}}", "{}"));
    EXPECT_EQ(-1, FindMarker("head</PRE>", "</pre>"));  // case matters
    EXPECT_EQ(-1, FindMarker("head</pr", "</pre>"));    // a partial match at the end
    EXPECT_EQ(-1, FindMarker("", "{}"));
    EXPECT_EQ(-1, FindMarker(nullptr, "{}"));
    const char afterZero[] = "ab\0{}";
    EXPECT_EQ(-1, FindMarker(afterZero, "{}"));  // the text ends at its first zero byte
}

TEST(FindMarker, OutsideARegion) {
    const char text[] = "ab{}cd{}ef";
    EXPECT_EQ(2, FindMarkerOutside(text, "{}", 5, 3));
    EXPECT_EQ(6, FindMarkerOutside(text, "{}", 1, 4));
    EXPECT_EQ(-1, FindMarkerOutside(text, "{}", 2, 7));
    EXPECT_EQ(-1, FindMarkerOutside(text, "{}", 2, 50));  // a region beyond the text
    EXPECT_EQ(-1, FindMarkerOutside("none", "{}", 0, 0));
}

namespace {

const SYSTEMTIME kFixedClock = {2027, 1, 2, 5, 9, 3, 0, 0};

struct MessageCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};
struct ShellCall {
    HWND owner;
    ULONG mask;
    bool verbNull;
    std::wstring file;
    bool parametersNull;
    bool directoryNull;
    std::wstring className;  // "<none>" without SEE_MASK_CLASSNAME
    INT show;
};
std::vector<MessageCall> messageCalls;
std::vector<ShellCall> shellCalls;

int WINAPI RecordMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    messageCalls.push_back({owner, text ? text : L"", caption ? caption : L"", type});
    return IDOK;
}

BOOL WINAPI RecordShellExecute(SHELLEXECUTEINFOW* open) {
    const bool withClass = (open->fMask & SEE_MASK_CLASSNAME) && open->lpClass;
    shellCalls.push_back({open->hwnd, open->fMask, open->lpVerb == nullptr, open->lpFile ? open->lpFile : L"",
                          open->lpParameters == nullptr, open->lpDirectory == nullptr,
                          withClass ? open->lpClass : L"<none>", open->nShow});
    return TRUE;
}

void WINAPI FixedLocalTime(LPSYSTEMTIME time) { *time = kFixedClock; }

// A minute later at every reading.
int clockReadings;
void WINAPI TickingLocalTime(LPSYSTEMTIME time) {
    *time = kFixedClock;
    time->wMinute = static_cast<WORD>(time->wMinute + clockReadings++);
}

// Reads; the second read fails.
int readCalls;
BOOL WINAPI FailSecondRead(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
    if (++readCalls == 2) return FailingReadFile(file, buffer, size, read, overlapped);
    return ReadFile(file, buffer, size, read, overlapped);
}

// Reads; at read number holdAtRead a browser takes the form (sharing reads only).
int holdAtRead;
std::wstring heldForm;
std::unique_ptr<FileHolder> browser;
BOOL WINAPI ReadAndHold(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
    if (++readCalls == holdAtRead) browser.reset(new FileHolder(heldForm, FILE_SHARE_READ));
    return ReadFile(file, buffer, size, read, overlapped);
}

// A slash, five hyphens, a blank, the title, a blank, and hyphens up to the 85th character,
// between two line feeds.
std::string Banner(const std::string& title) {
    std::string line = "/----- " + title + " ";
    return "\n" + line + std::string(85 - line.size(), '-') + "\n";
}

const char kEnglishOptions[] =
    "Screen mode = Window  Resolution = 1280 : 720\n"
    "Smoke Amount = x2\n"
    "Camera Vector Mode = Effective\n"
    "Display cursor = Software\n"
    "Antialias = 4x\n"
    "Anisotropy = 8x\n"
    "Smoke Operation = Invalidity\n"
    "3DSound = Auto\n";

const char kJapaneseReport[] =
    u8"CPU名 : DxDiag CPU\n"
    u8"CPU速度 : 2,394 MHz\n"
    u8"CPUID : x86 Family 6 Model 15\n"
    u8"メモリ容量 : 2048MBytes ( 2,147,483,648Bytes )\n"
    u8"利用可能メモリ : 512MBytes ( 536,870,912Bytes )\n"
    u8"仮想メモリ : 0MBytes ( 1,048,575Bytes )\n"
    u8"グラフィックボード : Chip &amp; Co 9000\n"
    u8"搭載ビデオメモリ : 256.0 MB\n"
    u8"グラフィックドライバ : chip.dll\n"
    u8"ドライババージョン : 6.14.10.9000\n"
    u8"ドライバ日付 : 2/3/2004\n"
    u8"Direct3D アクセレータ : 利用できません\n"
    u8"AGP アクセレータ : 使用可能\n"
    u8"ウインドウズ : Windows XP Professional\n"
    u8"ダイレクトX : DirectX 9.0c\n";

const char kJapaneseOptions[] =
    u8"画面モード = ウインドウ  解像度 = 1280 : 720\n"
    u8"スモークの量 = x2\n"
    u8"カメラ（ベクターモード） = 有効\n"
    u8"カーソル表示 = ソフトウェア\n"
    u8"アンチエイリアス = 4x\n"
    u8"異方性フィルタリング = 8x\n"
    u8"スモークのボタン =無効\n"
    u8"3Dサウンド = オート設定\n";

class MailFormTest : public RecordsTest {
protected:
    void SetUp() override {
        messageCalls.clear();
        shellCalls.clear();
        supportPlatform.messageBox = RecordMessageBox;
        supportPlatform.shellExecute = RecordShellExecute;
        supportPlatform.localTime = FixedLocalTime;

        ASSERT_TRUE(scratch.Made());
        root = scratch.Path();
        install = scratch.MakeDirectory(L"Tom & Jerry {}");  // markup and a marker in a value
        work = scratch.MakeDirectory(L"work");
        SetDirectories(install, work);

        gameOptions = OptionsRecord{1, 1280, 720, 0, 200, 1, 4, 8, 0, 0, 0, 0, 0, 0};

        owner = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        FillList();
    }
    void TearDown() override {
        DestroyWindow(owner);
        ForgetInformationList();
    }
    // The Information page's rows for the sample PC, in a list owned by the test window.
    void FillList() {
        static SamplePc pc;
        pc = SamplePc();
        pc.Build(false);
        ASSERT_NE(nullptr, ListInformationRows(pc.rows, owner));
    }
    std::wstring TemplatePath() const { return install + L"support.html"; }
    std::wstring FormPath() const { return work + L"mail_support.html"; }
    // The report comes escaped already. The title is followed by 42 blanks and the date of the fixed clock.
    std::string Block(const std::string& report, const char* options, const char* title) const {
        return Banner("Install Directory") + Utf8(root) + "Tom &amp; Jerry {}\\" + Banner("PC Information") + report +
               Banner("Environment") + options + "\n" + title + std::string(42, ' ') + "2027 1/5 9:3\n\n";
    }
    std::string EnglishBlock() const {
        return Block(SampleReportWithoutCapability(), kEnglishOptions, "Wingmere Silverarc Loopcrest");
    }
    // Runs the command and gives the form it left, or a text that no form can be.
    std::string FormAfterRun() {
        RunUserSupport(owner);
        std::string form;
        return ReadWholeFile(FormPath(), &form) ? form : "<no form>";
    }
    bool FormWritten() const { return GetFileAttributesW(FormPath().c_str()) != INVALID_FILE_ATTRIBUTES; }
    void ExpectOneErrorBox(const std::wstring& japaneseText, const std::wstring& path) {
        EXPECT_TRUE(shellCalls.empty());
        ASSERT_EQ(1u, messageCalls.size());
        EXPECT_EQ(japaneseText + L"[" + path + L"]", messageCalls[0].text);
        EXPECT_EQ(L"Error", messageCalls[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR | MB_OK), messageCalls[0].type);
        EXPECT_EQ(nullptr, messageCalls[0].owner);
    }

    ScratchDirectory scratch{L"mail"};
    std::wstring root, install, work;
    HWND owner = nullptr;
};

}  // namespace

TEST_F(MailFormTest, FullFormInEnglish) {
    EXPECT_TRUE(WriteBytes(TemplatePath(), "HEAD<pre>\n</pre>MIDDLE<textarea>{}</textarea>TAIL"));
    clockReadings = 0;
    supportPlatform.localTime = TickingLocalTime;  // both blocks carry the first reading
    std::string form = FormAfterRun();
    std::string block = EnglishBlock();
    EXPECT_EQ("HEAD<pre>\n" + block + "</pre>MIDDLE<textarea>" + block + "</textarea>TAIL" + std::string(1, '\0'), form);
    EXPECT_NE(std::string::npos, form.find("Tom &amp; Jerry {}"));
    EXPECT_EQ(std::string::npos, form.find("Tom & Jerry"));
    EXPECT_EQ(std::string::npos, form.find("<textarea>{}"));
    EXPECT_TRUE(messageCalls.empty());
    ASSERT_EQ(1u, shellCalls.size());
    EXPECT_EQ(owner, shellCalls[0].owner);
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI), shellCalls[0].mask);
    EXPECT_TRUE(shellCalls[0].verbNull);
    EXPECT_EQ(FormPath(), shellCalls[0].file);
    EXPECT_TRUE(shellCalls[0].parametersNull);
    EXPECT_TRUE(shellCalls[0].directoryNull);
    EXPECT_EQ(L".html", shellCalls[0].className);
    EXPECT_EQ(SW_SHOWNORMAL, shellCalls[0].show);
}

// The form goes where GameOption.ini goes: into the work value when it names an existing
// folder, relative to the current one too, else into the installation. A value that names no
// folder, such as a URL scheme, never reaches the shell.
TEST_F(MailFormTest, WorkValueThatNamesNoFolderGivesTheInstallationsForm) {
    EXPECT_TRUE(WriteBytes(TemplatePath(), "</pre>{}"));
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryW(root.c_str()));
    const struct {
        const wchar_t* work;
        std::wstring form;
    } cases[] = {
        {L"wgpoc:", install + L"mail_support.html"},
        {L"work\\", L"work\\mail_support.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.work));
        shellCalls.clear();
        DeleteFileW((root + c.form).c_str());
        DeleteFileW(c.form.c_str());
        lstrcpyW(workDirectory, c.work);
        RunUserSupport(owner);
        ASSERT_EQ(1u, shellCalls.size());
        EXPECT_EQ(c.form, shellCalls[0].file);
        EXPECT_EQ(L".html", shellCalls[0].className);
        EXPECT_EQ(EnglishBlock() + "</pre>" + EnglishBlock() + std::string(1, '\0'), ReadBytes(c.form));
    }
    EXPECT_TRUE(messageCalls.empty());
    SetCurrentDirectoryW(current);
}

TEST_F(MailFormTest, FullFormInJapanese) {
    languageIndex = 1;
    FillList();  // the page as it is shown in Japanese
    // The template's own bytes pass through untouched, whatever they hold.
    std::string head = u8"<p>日本語 & \"raw\"</p>\r\n</pre>";
    EXPECT_TRUE(WriteBytes(TemplatePath(), std::string("HEAD") + "</pre>" + "MIDDLE" + "{}" + "TAIL\xFF"));
    std::string form = FormAfterRun();
    std::string block = Block(kJapaneseReport, kJapaneseOptions, u8"ウイングミア シルバーアーク ループクレスト");
    EXPECT_EQ("HEAD" + block + "</pre>MIDDLE" + block + "TAIL\xFF" + std::string(1, '\0'), form);
    EXPECT_EQ(1u, shellCalls.size());

    // Repeated commands replace the file.
    EXPECT_TRUE(WriteBytes(TemplatePath(), head + "{}"));
    form = FormAfterRun();
    EXPECT_EQ(u8"<p>日本語 & \"raw\"</p>\r\n" + block + "</pre>" + block + std::string(1, '\0'), form);
}

TEST_F(MailFormTest, MissingMarkersPutTheBlockAtTheEnd) {
    std::string block = EnglishBlock();
    EXPECT_TRUE(WriteBytes(TemplatePath(), "HEAD{}TAIL"));
    std::string form = FormAfterRun();
    EXPECT_EQ("HEAD" + block + "TAIL" + block + std::string(1, '\0'), form);

    EXPECT_TRUE(WriteBytes(TemplatePath(), "NO MARKERS"));
    form = FormAfterRun();
    EXPECT_EQ("NO MARKERS" + block + block + std::string(1, '\0'), form);
    EXPECT_EQ(2u, shellCalls.size());
    EXPECT_TRUE(messageCalls.empty());
}

TEST_F(MailFormTest, OptionLineNames) {
    auto lines = [](const OptionsRecord& options) {
        static char block[4096];
        block[0] = 0;
        AppendOptionLines(block, sizeof(block), &options);
        return std::string(block);
    };
    auto line = [](const std::string& text, const char* start) {
        size_t at = text.find(start);
        return at == std::string::npos ? std::string("<none>") : text.substr(at, text.find('\n', at) - at);
    };
    OptionsRecord options = {};
    const struct {
        int32_t smoke;
        const char* name;
    } smokes[] = {{100, "Normal"}, {101, "x2"}, {200, "x2"}, {201, "x3"}, {300, "x3"}, {301, "x4"}, {-1, "x4"}, {0, "Normal"}};
    for (const auto& smoke : smokes) {
        options.smoke = smoke.smoke;
        EXPECT_EQ(std::string("Smoke Amount = ") + smoke.name, line(lines(options), "Smoke Amount")) << smoke.smoke;
    }
    const struct {
        int32_t mode;
        const char* name;
    } modes[] = {{0, "Full-Screen"}, {1, "Window"}, {2, "Pop-up"}, {5, "Window"}, {-1, "Window"}};
    options.width = 800;
    options.height = 600;
    for (const auto& mode : modes) {
        options.displayMode = mode.mode;
        EXPECT_EQ(std::string("Screen mode = ") + mode.name + "  Resolution = 800 : 600",
                  line(lines(options), "Screen mode"));
    }
    options.soundMode = 0;
    EXPECT_EQ("3DSound = Auto", line(lines(options), "3DSound"));
    options.soundMode = 2;
    EXPECT_EQ("3DSound = Auto", line(lines(options), "3DSound"));
    options.soundMode = 1;
    EXPECT_EQ("3DSound = Software", line(lines(options), "3DSound"));
    options.cursor = 1;
    options.vectorcamera = 0;
    options.smokebutton = 7;
    options.antialias = 0;
    options.anisotropy = 16;
    std::string text = lines(options);
    EXPECT_EQ("Display cursor = Hardware", line(text, "Display cursor"));
    EXPECT_EQ("Camera Vector Mode = Invalidity", line(text, "Camera Vector"));
    EXPECT_EQ("Smoke Operation = Effective", line(text, "Smoke Operation"));
    EXPECT_EQ("Antialias = 0x", line(text, "Antialias"));
    EXPECT_EQ("Anisotropy = 16x", line(text, "Anisotropy"));
    options.vectorcamera = -1;  // any value but 0
    EXPECT_EQ("Camera Vector Mode = Effective", line(lines(options), "Camera Vector"));
    // Eight lines, each ending in a single line feed.
    EXPECT_EQ(8, static_cast<int>(std::count(text.begin(), text.end(), '\n')));
    EXPECT_EQ(std::string::npos, text.find('\r'));
}

// Broken templates, each laid out in turn: the box is Japanese whatever the language, and no
// form is written.
TEST_F(MailFormTest, ErrorBoxesAreJapaneseInBothLanguages) {
    const std::wstring path = TemplatePath();
    HANDLE held = INVALID_HANDLE_VALUE;
    const struct {
        const char* what;
        std::function<void()> layOut;
        const wchar_t* box;
    } cases[] = {
        {"missing", [] {}, L"メール送信フォームが存在しません。\n"},
        {"empty", [&] { EXPECT_TRUE(WriteBytes(path, "")); }, L"メール送信フォームが存在しません。\n"},
        {"a folder", [&] { CreateDirectoryW(path.c_str(), nullptr); }, L"メール送信フォームが存在しません。\n"},
        {"held open by another without sharing",
         [&] {
             EXPECT_TRUE(WriteBytes(path, "</pre>{}"));
             held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(INVALID_HANDLE_VALUE, held);
         },
         L"メール送信フォームがオープンできません。\n"},
        {"opened, but the read fails",
         [&] {
             EXPECT_TRUE(WriteBytes(path, "</pre>{}"));
             filePlatform.readFile = FailingReadFile;
         },
         L"メール送信フォームが読めません。"},
        {"beyond the size limit", [&] { EXPECT_TRUE(WriteBytes(path, std::string(kTemplateSizeLimit + 1, 'x'))); },
         L"メモリー不足でメール送信フォームが読めません。\n"},
    };
    for (int language : {0, 1}) {
        languageIndex = language;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (language ? ", Japanese" : ", English"));
            messageCalls.clear();
            c.layOut();
            RunUserSupport(owner);
            if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
            filePlatform.readFile = records.files.saved.readFile;
            ExpectOneErrorBox(c.box, path);
            EXPECT_FALSE(FormWritten());
            DeleteFileW(path.c_str());
            RemoveDirectoryW(path.c_str());
        }
    }
}

TEST_F(MailFormTest, TemplateAtTheSizeLimitIsUsed) {
    std::string big(kTemplateSizeLimit - 8, 'x');
    EXPECT_TRUE(WriteBytes(TemplatePath(), big + "</pre>{}"));
    std::string form = FormAfterRun();
    EXPECT_TRUE(messageCalls.empty());
    std::string block = EnglishBlock();
    EXPECT_EQ(big.size() + 2 * block.size() + 6 + 1, form.size());
    EXPECT_EQ(0, form.compare(big.size(), block.size(), block));
    EXPECT_EQ(1u, shellCalls.size());
}

// The second read (of the first pass's form) fails on its own: its box alone, and the end.
TEST_F(MailFormTest, FailedSecondReadEndsTheCommand) {
    EXPECT_TRUE(WriteBytes(TemplatePath(), "</pre>{}"));
    readCalls = 0;
    filePlatform.readFile = FailSecondRead;
    RunUserSupport(owner);
    ExpectOneErrorBox(L"メール送信フォームが読めません。", FormPath());
    EXPECT_EQ(EnglishBlock() + "</pre>{}" + std::string(1, '\0'), ReadBytes(FormPath()));
}

// A pass that cannot write the form whole leaves an older form, or the first pass's, in its
// place: the Japanese box with the form's full path (here in a work folder of 300 characters),
// and the stale file is not opened. A browser holds the old form (reads shared) from the
// start, or takes it when the second pass reads it; or a folder has the form's name.
TEST_F(MailFormTest, FormThatCannotBeWrittenWholeIsNotOpened) {
    EXPECT_TRUE(WriteBytes(TemplatePath(), "</pre>{}"));
    std::wstring deep = work;
    while (deep.size() < 300) {
        deep += L"Saved Games folder\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    const std::string stale = "<pre>last year's facts</pre>{}";
    const std::string firstPass = EnglishBlock() + "</pre>{}" + std::string(1, '\0');
    const struct {
        const char* what;
        std::wstring folder;
        std::string before;  // the form before the command; none when empty
        int holdAtRead;      // 0: held from the start; 2: from the second read
        std::string after;   // "<none>": no form
    } cases[] = {
        {"held from the start", deep, stale, 0, stale},
        {"held from the second read", deep, "", 2, firstPass},
        {"a folder in the form's place", deep + L"folder\\", "", 0, "<none>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messageCalls.clear();
        lstrcpyW(workDirectory, c.folder.c_str());
        heldForm = c.folder + L"mail_support.html";
        DeleteFileW(heldForm.c_str());
        if (c.folder != deep) {
            CreateDirectoryW(c.folder.c_str(), nullptr);
            ASSERT_TRUE(CreateDirectoryW(heldForm.c_str(), nullptr));
        }
        if (!c.before.empty()) {
            EXPECT_TRUE(WriteBytes(heldForm, c.before));
        }
        readCalls = 0;
        holdAtRead = c.holdAtRead;
        filePlatform.readFile = ReadAndHold;
        if (holdAtRead == 0 && !c.before.empty()) browser.reset(new FileHolder(heldForm, FILE_SHARE_READ));
        RunUserSupport(owner);
        browser.reset();
        ExpectOneErrorBox(L"ファイルの書き込み中にエラーが発生しました。\n", heldForm);
        std::string after;
        EXPECT_EQ(c.after, ReadWholeFile(heldForm, &after) ? after : "<none>");
    }
}

TEST_F(MailFormTest, ComposeWithoutTextWritesNothing) {
    SupportFormText empty = {nullptr, 0};
    EXPECT_EQ(0, ComposeMailForm(&empty, 0, &kFixedClock));
    EXPECT_FALSE(FormWritten());

    // The skip never runs past the end of the text.
    static char text[] = "AB{";
    SupportFormText form = {text, 2};
    EXPECT_EQ(1, ComposeMailForm(&form, 2, &kFixedClock));
    std::string written;
    ASSERT_TRUE(ReadWholeFile(FormPath(), &written));
    EXPECT_EQ("AB" + EnglishBlock() + std::string(1, '\0'), written);
}

// The folders that tests/save_faults.sh makes as root; without them these tests are skipped.
class MailFormFaultTest : public MailFormTest {
protected:
    void SetUp() override {
        faults = FaultFolders();
        if (faults.empty()) GTEST_SKIP() << "needs the folders that tests/save_faults.sh makes";
        ASSERT_NO_FATAL_FAILURE(MailFormTest::SetUp());
        EXPECT_TRUE(WriteBytes(TemplatePath(), "</pre>{}"));
    }
    std::wstring faults;
};

// mail_support.html is a link to another file, made by the shell's ln (under Wine a link to a
// file looks like a plain file): the form replaces the link, and the target keeps its bytes.
TEST_F(MailFormFaultTest, FormReplacesALinkInsteadOfWritingItsTarget) {
    const std::wstring linked = faults + L"form-link\\";
    const std::string targetBytes = "the player's own file";
    ASSERT_TRUE(WriteBytes(faults + L"form-link-target.txt", targetBytes));
    ASSERT_EQ(targetBytes, ReadBytes(linked + L"mail_support.html"));  // the link leads there
    SetDirectories(install, linked);
    RunUserSupport(owner);
    EXPECT_TRUE(messageCalls.empty());
    const std::string after = ReadBytes(faults + L"form-link-target.txt");
    EXPECT_TRUE(after == targetBytes) << "the target now holds " << after.size() << " bytes";
    EXPECT_EQ(EnglishBlock() + "</pre>" + EnglishBlock() + std::string(1, '\0'), ReadBytes(linked + L"mail_support.html"));
    EXPECT_EQ(std::vector<std::wstring>{L"mail_support.html"}, FileNamesIn(linked));
}

// A work folder that takes no new file (chattr +i) but lets its existing form be written: the
// form is never written in place, so the old one stays, the box tells, and nothing is opened.
TEST_F(MailFormFaultTest, FolderThatTakesNoNewFileKeepsTheOldForm) {
    const std::wstring locked = faults + L"form-locked\\";
    SetDirectories(install, locked);
    const std::string stale = "<pre>last year's facts</pre>{}";
    ASSERT_TRUE(WriteBytes(locked + L"mail_support.html", stale));
    RunUserSupport(owner);
    ExpectOneErrorBox(L"ファイルの書き込み中にエラーが発生しました。\n", locked + L"mail_support.html");
    EXPECT_EQ(stale, ReadBytes(locked + L"mail_support.html"));
    EXPECT_EQ(std::vector<std::wstring>{L"mail_support.html"}, FileNamesIn(locked));
}
