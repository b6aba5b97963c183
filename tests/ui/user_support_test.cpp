// The User Support button through the real export: the mail form written from the
// installation's template, and opened by the program the shell associates with ".html".
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>

#include "resources/resource.h"
#include "ui_harness.h"

using namespace ui;

namespace {

const wchar_t kRecordFlag[] = L"--record-open";
const wchar_t kRecordLogVariable[] = L"WGCONF_OPEN_LOG";
const wchar_t kProgId[] = L"WgconfUiTest.OpenRecorder";

// This program doubles as the ".html" handler: started with the flag, it appends the file it
// was asked to open, a tab and the file's size then, to the log named in the environment, and
// ends before the tests start.
struct OpenRecorder {
    OpenRecorder() {
        int count = 0;
        wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
        if (count < 3 || lstrcmpW(arguments[1], kRecordFlag) != 0) return;
        wchar_t log[MAX_PATH] = {};
        GetEnvironmentVariableW(kRecordLogVariable, log, MAX_PATH);
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string line = Utf8(arguments[2]) + "\t" + std::to_string(ReadBytes(arguments[2]).size()) + "\n";
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
        ExitProcess(0);
    }
};
OpenRecorder openRecorder;

// Makes this program the handler of ".html" and puts the previous association back when it goes.
struct HtmlHandlerOverride {
    explicit HtmlHandlerOverride(const std::wstring& log) : log(kRecordLogVariable, log) {}
    ~HtmlHandlerOverride() { RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId); }
    bool Applied() const { return command.Applied() && extension.Applied(); }

    EnvironmentOverride log;
    RegistryValueOverride command{HKEY_CLASSES_ROOT, (std::wstring(kProgId) + L"\\shell\\open\\command").c_str(),
                                  nullptr, (L"\"" + ProgramPath() + L"\" " + kRecordFlag + L" \"%1\"").c_str()};
    RegistryValueOverride extension{HKEY_CLASSES_ROOT, L".html", nullptr, kProgId};
};

}  // namespace

InstallationSettings SeparateWork() {
    InstallationSettings settings;
    settings.separateWork = true;
    return settings;
}

// The game's form template, as shipped, in the installation.
bool CopySupportTemplate(const Installation& installation) {
    return CopyFileW(SourcePath(L"game/install/support.html").c_str(), installation.InInstall(L"support.html").c_str(),
                     FALSE) != FALSE;
}

// Whether the ".html" handler was started: it is this program again, so it either still runs
// or has written its line before it ended. Asked in that order, the answer does not depend on
// when it is asked.
bool HandlerStartedSince(const std::wstring& log) {
    const std::wstring self = PathFindFileNameW(ProgramPath().c_str());
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    bool running = false;
    PROCESSENTRY32W process = {};
    process.dwSize = sizeof(process);
    for (BOOL more = Process32FirstW(snapshot, &process); more; more = Process32NextW(snapshot, &process)) {
        running |= process.th32ProcessID != GetCurrentProcessId() && lstrcmpiW(process.szExeFile, self.c_str()) == 0;
    }
    CloseHandle(snapshot);
    return running || FileExists(log);
}

TEST(UserSupport, WritesTheFormAndOpensItWithTheShell) {
    Installation installation(SeparateWork());
    ASSERT_TRUE(CopySupportTemplate(installation));
    std::wstring log = installation.InWork(L"opened.log");
    HtmlHandlerOverride handler(log);
    ASSERT_TRUE(handler.Applied());

    std::vector<std::wstring> captions, values;
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& driver) {
        HWND list = driver.Item(kInformationPage, IDC_INFORMATION_LIST);
        int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < rows; ++row) {
            captions.push_back(ListText(list, row, 0));
            values.push_back(ListText(list, row, 1));
        }
        driver.Press(IDC_USER_SUPPORT);
        driver.Press(IDCANCEL);
    }));

    std::wstring formPath = installation.InWork(L"mail_support.html");
    std::string form = ReadBytes(formPath);
    ASSERT_FALSE(form.empty());
    EXPECT_FALSE(FileExists(installation.InInstall(L"mail_support.html")));
    // The template's bytes around two equal blocks, and one zero byte at the end.
    std::string templateBytes = ReadBytes(installation.InInstall(L"support.html"));
    size_t pre = templateBytes.find("</pre>");
    size_t marker = templateBytes.find("{}");
    ASSERT_NE(std::string::npos, pre);
    ASSERT_NE(std::string::npos, marker);
    ASSERT_EQ('\0', form.back());
    EXPECT_EQ(1, std::count(form.begin(), form.end(), '\0'));
    EXPECT_EQ(0, form.compare(0, pre, templateBytes, 0, pre));
    size_t blockLength = (form.size() - 1 - (templateBytes.size() - 2)) / 2;
    std::string block = form.substr(pre, blockLength);
    EXPECT_EQ(0, form.compare(pre + blockLength, marker - pre, templateBytes, pre, marker - pre));
    EXPECT_EQ(block, form.substr(marker + blockLength, blockLength));
    EXPECT_EQ(0, form.compare(marker + 2 * blockLength, std::string::npos, templateBytes.substr(marker + 2) + '\0'));

    // The Information page of this installation: the processor key and one display class of the
    // runtime, the DxDiag driver texts, and the capability rows of the stand-in library (DirectX
    // 9.0c from the registry). Values are fixed where the stand-ins fix them; the Windows line is
    // written out below.
    const struct {
        const wchar_t* caption;
        const wchar_t* value;  // null: whatever this PC reports
    } kRows[] = {
        {L"CPU", nullptr}, {L"CPU Speed", nullptr}, {L"CPUID", nullptr},
        {L"Memory", nullptr}, {L"Avail Memory", nullptr}, {L"Virtual Memory", nullptr}, {L"", L""},
        {L"Graphics", nullptr}, {L"VRAM", nullptr}, {L"Graphic driver", nullptr},
        {L"Graphic driver version", nullptr}, {L"driver date", nullptr}, {L"", L""},
        {L"Direct3D Accelerator", nullptr}, {L"AGP Accelerator", nullptr}, {L"", L""},
        {L"Windows", nullptr}, {L"DirectX", L"DirectX 9.0c"}, {L"", L""},
        {L"PC Maker", L"Wingmere Test PC"}, {L"PC Model", L"Reference Graphics Board"}, {L"", L""},
        {L"Anisotropy", L"2, 4, 8, 16"}, {L"Anti-alias", L"2, 4, 8"}, {L"Max Texture Size", L"8192 x 8192 Pixel"},
        {L"Texture Stage Count", L"8"}, {L"Light Count", L"8"}, {L"Stream Count", L"16"},
        {L"Zbuffer Stencil", L"24 - 8 Bit"},
    };
    const size_t rowCount = sizeof(kRows) / sizeof(kRows[0]);
    ASSERT_EQ(rowCount, captions.size());
    std::string report;
    for (size_t row = 0; row < rowCount; ++row) {
        EXPECT_EQ(kRows[row].caption, captions[row]) << "row " << row;
        if (kRows[row].value) {
            EXPECT_EQ(kRows[row].value, values[row]) << "row " << row;
        }
        if (captions[row].empty()) continue;
        EXPECT_FALSE(values[row].empty()) << "row " << row;
        // This PC's facts hold no markup, so the report shows them as they are (the escaping
        // itself is the unit tests' business).
        ASSERT_EQ(std::string::npos, Utf8(values[row]).find_first_of("&<>\"")) << "row " << row;
        report += Utf8(captions[row]) + " : " + Utf8(values[row]) + "\n";
    }

    // The block: installation directory, one report line per listed fact in list order, the
    // options (the defaults: there is no GameOption.ini), the title.
    const std::string banner = "\n/----- ";
    auto section = [&](const std::string& title) {
        size_t start = block.find(banner + title + " ");
        if (start == std::string::npos) return std::string("<no " + title + ">");
        start = block.find('\n', start + 1) + 1;
        size_t end = block.find(banner, start);
        return block.substr(start, end == std::string::npos ? std::string::npos : end - start);
    };
    EXPECT_EQ(0u, block.find(banner + "Install Directory "));
    ASSERT_EQ(std::string::npos, Utf8(installation.Directory()).find_first_of("&<>\""));
    EXPECT_EQ(Utf8(installation.Directory()), section("Install Directory"));
    EXPECT_EQ(report, section("PC Information"));
    // The Windows line, byte for byte: Wine 10's Windows and the Wine itself.
    EXPECT_NE(std::string::npos,
              section("PC Information")
                  .find("\nWindows : Windows 10 Ultimate Edition, 64-bit (build 19043) on Wine 10.0 (Linux " +
                        Utf8(ReadRuntimeWine().hostRelease) + ")\n"));
    std::string environment = section("Environment");
    EXPECT_EQ(
        "Screen mode = Window  Resolution = 1024 : 576\n"
        "Smoke Amount = Normal\n"
        "Camera Vector Mode = Effective\n"
        "Display cursor = Hardware\n"
        "Antialias = 2x\n"
        "Anisotropy = 2x\n"
        "Smoke Operation = Effective\n"
        "3DSound = Software\n"
        "\nWingmere Silverarc Loopcrest" + std::string(42, ' '),
        environment.substr(0, environment.rfind(std::string(42, ' ')) + 42));

    // The shell started the ".html" handler with the form.
    ASSERT_TRUE(WaitFor([&] { return !ReadBytes(log).empty(); }, 15000));
    std::vector<std::string> opened = SplitLines(ReadBytes(log));
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(0, lstrcmpiA((Utf8(formPath) + "\t" + std::to_string(form.size())).c_str(), opened[0].c_str()))
        << opened[0];
    DeleteFileW(log.c_str());
}

TEST(UserSupport, MissingTemplateShowsTheJapaneseErrorBox) {
    Installation installation;  // in English: the form errors are Japanese whatever the language
    std::wstring log = installation.InWork(L"opened.log");
    HtmlHandlerOverride handler(log);
    ASSERT_TRUE(handler.Applied());
    // Last time's form, which must not be opened in place of a new one.
    const std::string stale = "<html><pre>last year's facts</pre></html>";
    ASSERT_TRUE(WriteBytes(installation.InWork(L"mail_support.html"), stale));

    SeenMessageBox box;
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& driver) {
        driver.PostPress(IDC_USER_SUPPORT);
        box = TakeMessageBox(driver, L"Error");
        driver.Press(IDCANCEL);
    }));
    EXPECT_EQ(L"メール送信フォームが存在しません。\n[" + installation.InInstall(L"support.html") + L"]", box.text);
    EXPECT_EQ(stale, ReadBytes(installation.InWork(L"mail_support.html")));
    EXPECT_FALSE(HandlerStartedSince(log));
}

// A browser holds last time's form open (sharing reads only), so the command cannot replace it:
// the Japanese box with the form's full path, owned by no window, and the stale form is not
// opened. Once the browser has let go, the command writes the form and opens it: once.
TEST(UserSupport, FormThatCannotBeReplacedIsNotOpened) {
    Installation installation(SeparateWork());
    ASSERT_TRUE(CopySupportTemplate(installation));
    const std::wstring form = installation.InWork(L"mail_support.html");
    const std::string stale = "<html><pre>last year's facts</pre></html>";
    ASSERT_TRUE(WriteBytes(form, stale));
    std::wstring log = installation.InWork(L"opened.log");
    HtmlHandlerOverride handler(log);
    ASSERT_TRUE(handler.Applied());
    FileHolder browser(form, FILE_SHARE_READ);
    ASSERT_TRUE(browser.Holding());

    SeenMessageBox box;
    std::string whileHeld;
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& driver) {
        driver.PostPress(IDC_USER_SUPPORT);
        box = TakeMessageBox(driver, L"Error");
        whileHeld = ReadBytes(form);
        browser.Release();
        driver.Press(IDC_USER_SUPPORT);
        driver.Press(IDCANCEL);
    }));
    EXPECT_EQ(L"ファイルの書き込み中にエラーが発生しました。\n[" + form + L"]", box.text);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(stale, whileHeld);
    // The stale form would have been opened first: once the fresh one has been, the log holds
    // the fresh one alone.
    auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(tolower(c)); });
        return text;
    };
    const std::string fresh = lower(Utf8(form) + "\t" + std::to_string(ReadBytes(form).size()));
    ASSERT_TRUE(WaitFor([&] { return lower(ReadBytes(log)).find(fresh) != std::string::npos; }, 15000));
    EXPECT_EQ(std::vector<std::string>{fresh}, SplitLines(lower(ReadBytes(log))));
    DeleteFileW(log.c_str());
}
