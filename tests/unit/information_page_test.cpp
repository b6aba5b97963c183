
#include <algorithm>
#include <regex>

#include "process_records.h"
#include "shared/test_support.h"
#include "resources/resource.h"
#include "support/pc_report.h"
#include "support_fixtures.h"

namespace {

std::wstring Grouped(uint64_t value) {
    wchar_t text[kGroupedNumberCapacity];
    FormatGroupedNumber(value, text);
    return text;
}

std::wstring Stripped(const wchar_t* text) {
    wchar_t buffer[kInformationTextCapacity];
    lstrcpyW(buffer, text);
    StripLeadingBlanks(buffer);
    return buffer;
}

std::wstring Memory(uint64_t bytes) {
    wchar_t text[kInformationTextCapacity];
    FormatMemoryValue(bytes, text);
    return text;
}

std::wstring Levels(std::vector<uint32_t> levels, int capacity) {
    wchar_t text[kInformationTextCapacity];
    lstrcpyW(text, L"left over");
    FormatLevelList(levels.data(), capacity, text);
    return text;
}

}  // namespace

TEST(InformationFormat, GroupedNumbers) {
    const struct {
        uint64_t number;
        const wchar_t* text;
    } numbers[] = {
        {1234567, L"1,234,567"}, {1000, L"1,000"}, {1000005, L"1,000,005"}, {999, L"999"},
        {4294967295u, L"4,294,967,295"}, {0, L"0"}, {42, L"042"}, {7, L"007"}, {1000000000u, L"1,000,000,000"},
        {2394, L"2,394"},
        // Beyond 32 bits.
        {4294967296ull, L"4,294,967,296"}, {25769803776ull, L"25,769,803,776"},
        {1000000000007ull, L"1,000,000,000,007"}, {UINT64_MAX, L"18,446,744,073,709,551,615"},
    };
    for (const auto& row : numbers) EXPECT_EQ(row.text, Grouped(row.number)) << row.number;
}

TEST(InformationFormat, StripLeadingBlanks) {
    EXPECT_EQ(L"Intel", Stripped(L"      Intel"));
    EXPECT_EQ(L"a b ", Stripped(L" a b "));
    EXPECT_EQ(L"Intel", Stripped(L"Intel"));
    EXPECT_EQ(L"   ", Stripped(L"   "));  // nothing but blanks stays as it is
    EXPECT_EQ(L"", Stripped(L""));
    EXPECT_EQ(L"\tTab", Stripped(L"\tTab"));  // only U+0020 counts
    std::wstring longest(100, L' ');
    longest += std::wstring(155, L'x');
    EXPECT_EQ(std::wstring(155, L'x'), Stripped(longest.c_str()));
}

TEST(InformationFormat, MemoryValues) {
    EXPECT_EQ(L"512MBytes ( 536,870,912Bytes )", Memory(536870912u));
    EXPECT_EQ(L"2048MBytes ( 2,147,483,648Bytes )", Memory(2147483648u));
    EXPECT_EQ(L"0MBytes ( 1,048,575Bytes )", Memory(1048575u));
    EXPECT_EQ(L"4095MBytes ( 4,294,967,295Bytes )", Memory(4294967295u));
    EXPECT_EQ(L"4096MBytes ( 4,294,967,296Bytes )", Memory(4294967296ull));
    EXPECT_EQ(L"24576MBytes ( 25,769,803,776Bytes )", Memory(25769803776ull));
    // Wider than the five-character field: the 128 TiB of a 64-bit address space.
    EXPECT_EQ(L"134217728MBytes ( 140,737,488,355,328Bytes )", Memory(140737488355328ull));
    EXPECT_EQ(L"17592186044415MBytes ( 18,446,744,073,709,551,615Bytes )", Memory(UINT64_MAX));
}

TEST(InformationFormat, LevelLists) {
    EXPECT_EQ(L"2, 4, 8", Levels({2, 4, 8, 0, 16}, 15));
    EXPECT_EQ(L"16", Levels({16, 0}, 15));
    EXPECT_EQ(L"", Levels({0, 2}, 15));  // no level: an empty value, not the caption
    // A list that fills its capacity ends there even without a zero entry.
    EXPECT_EQ(L"2, 4", Levels({2, 4, 8}, 2));
}

namespace {

// The sample PC with the rows read back by position or by fact.
struct FullPc : SamplePc {
    std::wstring Caption(int i) const { return rows.rows[i].caption; }
    std::wstring Value(int i) const { return rows.rows[i].value; }
    std::wstring Row(int i) const { return Caption(i) + L"|" + Value(i); }
    std::wstring ValueOf(int fact) const {
        int row = rows.rowOf[fact];
        return row < 0 ? L"<none>" : std::wstring(rows.rows[row].value);
    }
};

class InformationRowsTest : public RecordsTest {
protected:
    FullPc pc;
};

}  // namespace

TEST_F(InformationRowsTest, FullLayoutWithCapabilityRows) {
    pc.Build();
    const wchar_t* expected[][2] = {
        {L"CPU", L"DxDiag CPU"},
        {L"CPU Speed", L"2,394 MHz"},
        {L"CPUID", L"x86 Family 6 Model 15"},
        {L"Memory", L"2048MBytes ( 2,147,483,648Bytes )"},
        {L"Avail Memory", L"512MBytes ( 536,870,912Bytes )"},
        {L"Virtual Memory", L"0MBytes ( 1,048,575Bytes )"},
        {L"", L""},
        {L"Graphics", L"Chip & Co 9000"},
        {L"VRAM", L"256.0 MB"},
        {L"Graphic driver", L"chip.dll"},
        {L"Graphic driver version", L"6.14.10.9000"},
        {L"driver date", L"2/3/2004"},
        {L"", L""},
        {L"Direct3D Accelerator", L"It cannot use"},
        {L"AGP Accelerator", L"Use is possible"},
        {L"", L""},
        {L"Windows", L"Windows XP Professional"},
        {L"DirectX", L"DirectX 9.0c"},
        {L"", L""},
        {L"PC Maker", L"Maker"},
        {L"PC Model", L"Model"},
        {L"", L""},
        {L"Anisotropy", L"2, 4, 8"},
        {L"Anti-alias", L"16"},
        {L"Max Texture Size", L"4096 x 2048 Pixel"},
        {L"Texture Stage Count", L"8"},
        {L"Light Count", L"16"},
        {L"Stream Count", L"4"},
        {L"Zbuffer Stencil", L"16 - 24 Bit"},
    };
    ASSERT_EQ(29, pc.rows.count);
    for (int i = 0; i < 29; ++i) {
        EXPECT_EQ(expected[i][0], pc.Caption(i)) << "row " << i;
        EXPECT_EQ(expected[i][1], pc.Value(i)) << "row " << i;
        bool separator = i == 6 || i == 12 || i == 15 || i == 18 || i == 21;
        EXPECT_EQ(separator ? 1 : 0, pc.rows.rows[i].separator) << "row " << i;
    }
    const int positions[kInformationFactCount] = {0,  1,  2,  3,  4,  5,  7,  8,  9,  10, 11, 13,
                                                  14, 16, 17, 19, 20, 22, 23, 24, 25, 26, 27, 28};
    for (int fact = 0; fact < kInformationFactCount; ++fact) EXPECT_EQ(positions[fact], pc.rows.rowOf[fact]) << fact;
    // The records' own texts were stripped where they are kept.
    EXPECT_STREQ(L"Chip & Co 9000", pc.directX.displayChipType);
    EXPECT_STREQ(L"Windows XP Professional", pc.environment.windowsName);
}

TEST_F(InformationRowsTest, WithoutCapabilityRecordEndsWithSeparator) {
    pc.Build(false);
    ASSERT_EQ(19, pc.rows.count);
    EXPECT_EQ(1, pc.rows.rows[18].separator);
    EXPECT_EQ(L"DirectX", pc.Caption(17));
    for (int fact = kFactPcMaker; fact <= kFactZbuffer; ++fact) EXPECT_EQ(-1, pc.rows.rowOf[fact]);
}

TEST_F(InformationRowsTest, ProcessorRowsFollowTheKey) {
    pc.facts.processorKeyOpened = 0;
    pc.Build();
    ASSERT_EQ(26, pc.rows.count);
    EXPECT_EQ(L"Memory", pc.Caption(0));
    EXPECT_EQ(-1, pc.rows.rowOf[kFactCpu]);
    EXPECT_EQ(-1, pc.rows.rowOf[kFactCpuSpeed]);
    EXPECT_EQ(-1, pc.rows.rowOf[kFactCpuId]);
    EXPECT_EQ(0, pc.rows.rowOf[kFactMemory]);
    EXPECT_EQ(4, pc.rows.rowOf[kFactGraphics]);
    EXPECT_EQ(L"Chip & Co 9000", pc.ValueOf(kFactGraphics));
}

TEST_F(InformationRowsTest, ProcessorValues) {
    // The DxDiag name is shown as it is, blanks and all.
    lstrcpyW(pc.directX.processorName, L"  DxDiag CPU");
    pc.Build();
    EXPECT_EQ(L"  DxDiag CPU", pc.ValueOf(kFactCpu));

    pc.directX.processorName[0] = 0;
    lstrcpyW(pc.facts.processorNameString, L"      Registry CPU");
    pc.Build();
    EXPECT_EQ(L"Registry CPU", pc.ValueOf(kFactCpu));

    const struct {
        uint32_t mhz;
        const wchar_t* text;
    } speeds[] = {{2394, L"2,394 MHz"}, {800, L"800 MHz"}, {66, L"066 MHz"}};
    for (const auto& speed : speeds) {
        pc.facts.processorSpeedMHz = speed.mhz;
        pc.Build();
        EXPECT_EQ(speed.text, pc.ValueOf(kFactCpuSpeed));
    }
    pc.facts.processorSpeedRead = 0;  // unread: empty, not the name before it
    pc.Build();
    EXPECT_EQ(L"", pc.ValueOf(kFactCpuSpeed));
}

TEST_F(InformationRowsTest, UnreadableRegistryValuesShowEmpty) {
    pc.directX.processorName[0] = 0;
    pc.directX.displayChipType[0] = 0;
    pc.facts.processorNameString[0] = 0;
    pc.facts.processorIdentifier[0] = 0;
    pc.facts.processorSpeedRead = 0;
    pc.facts.processorSpeedMHz = 12345;  // not read: never shown
    pc.facts.adapterCount = 1;
    pc.facts.adapterNames[0][0] = 0;
    pc.Build();
    ASSERT_EQ(29, pc.rows.count);
    EXPECT_EQ(L"CPU", pc.Caption(0));
    EXPECT_EQ(L"", pc.ValueOf(kFactCpu));
    EXPECT_EQ(L"", pc.ValueOf(kFactCpuSpeed));
    EXPECT_EQ(L"", pc.ValueOf(kFactCpuId));
    EXPECT_EQ(L"", pc.ValueOf(kFactGraphics));
}

TEST_F(InformationRowsTest, AdapterRowsFromRegistry) {
    pc.directX.displayChipType[0] = 0;
    pc.facts.adapterCount = 2;
    lstrcpyW(pc.facts.adapterNames[0], L"First Adapter");
    lstrcpyW(pc.facts.adapterNames[1], L"   Second Adapter");
    pc.Build();
    ASSERT_EQ(30, pc.rows.count);
    EXPECT_EQ(L"Graphics|First Adapter", pc.Row(7));
    EXPECT_EQ(L"Graphics|Second Adapter", pc.Row(8));
    EXPECT_EQ(L"VRAM", pc.Caption(9));
    EXPECT_EQ(7, pc.rows.rowOf[kFactGraphics]);  // the first of several
    EXPECT_EQ(9, pc.rows.rowOf[kFactVram]);
    EXPECT_EQ(14, pc.rows.rowOf[kFactDirect3D]);

    pc.facts.adapterCount = 0;
    pc.Build();
    EXPECT_EQ(L"VRAM", pc.Caption(7));
    EXPECT_EQ(-1, pc.rows.rowOf[kFactGraphics]);

    // With a DxDiag chip type the registry's adapters are not listed.
    pc.facts.adapterCount = 2;
    lstrcpyW(pc.directX.displayChipType, L"Chip");
    pc.Build();
    EXPECT_EQ(L"Chip", pc.Value(7));
    EXPECT_EQ(L"VRAM", pc.Caption(8));
}

TEST_F(InformationRowsTest, EmptyDriverTextsLeaveTheirRowsOut) {
    pc.directX.displayMemoryText[0] = 0;
    pc.directX.displayDriverDate[0] = 0;
    pc.Build();
    ASSERT_EQ(27, pc.rows.count);
    EXPECT_EQ(-1, pc.rows.rowOf[kFactVram]);
    EXPECT_EQ(-1, pc.rows.rowOf[kFactDriverDate]);
    EXPECT_EQ(8, pc.rows.rowOf[kFactDriver]);
    EXPECT_EQ(9, pc.rows.rowOf[kFactDriverVersion]);
    EXPECT_EQ(1, pc.rows.rows[10].separator);
    EXPECT_EQ(L"6.14.10.9000", pc.ValueOf(kFactDriverVersion));
}

TEST_F(InformationRowsTest, EmptyLevelListsShowEmpty) {
    pc.record.anisotropyLevels[0] = 0;
    pc.record.antiAliasLevels[0] = 0;
    pc.Build();
    EXPECT_EQ(L"", pc.ValueOf(kFactAnisotropy));
    EXPECT_EQ(L"", pc.ValueOf(kFactAntiAlias));
}

TEST_F(InformationRowsTest, JapaneseCaptions) {
    languageIndex = 1;
    pc.Build();
    EXPECT_EQ(L"CPU名", pc.Caption(0));
    EXPECT_EQ(L"Direct3D アクセレータ|利用できません", pc.Row(13));
    EXPECT_EQ(L"使用可能", pc.Value(14));
    EXPECT_EQ(L"Zバッファ深度", pc.Caption(28));
    EXPECT_EQ(L"DxDiag CPU", pc.Value(0));
}

// ---- The page itself, under Wine ------------------------------------------------------------

namespace {

// A row of the page's list as "caption|value".
std::wstring Row(int row) { return ListText(informationList, row, 0) + L"|" + ListText(informationList, row, 1); }

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ValueOfFact(int fact) {
    int row = informationRowOf[fact];
    return row < 0 ? L"<none>" : ListText(informationList, row, 1);
}

// A hive that stands in for HKEY_LOCAL_MACHINE while the page reads the registry.
struct FakeMachineHive {
    static constexpr const wchar_t* kRoot = L"Software\\WgconfInformationPageTest";
    HKEY root = nullptr;

    FakeMachineHive() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
        RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr);
    }
    ~FakeMachineHive() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(root);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    }
    void Set(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, size_t size) {
        HKEY handle;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr));
        RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
        RegCloseKey(handle);
    }
    void SetText(const wchar_t* key, const wchar_t* name, const wchar_t* value) {
        Set(key, name, REG_SZ, value, (lstrlenW(value) + 1) * sizeof(wchar_t));
    }
    void SetNumber(const wchar_t* key, const wchar_t* name, DWORD value) { Set(key, name, REG_DWORD, &value, 4); }
    void Override() { ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, root)); }
    void Restore() { RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr); }
};

const wchar_t kClasses[] = L"SYSTEM\\CurrentControlSet\\Control\\Class\\";
const wchar_t kProcessor[] = L"HARDWARE\\DESCRIPTION\\SYSTEM\\CentralProcessor\\0";

class InformationPageTest : public RecordsTest {
protected:
    void SetUp() override {
        memset(&directXFacts, 0, sizeof(directXFacts));
        memset(&environmentSnapshot, 0, sizeof(environmentSnapshot));
        parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 480, 360, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
    }
    void TearDown() override {
        if (page) DestroyWindow(page);
        DestroyWindow(parent);
        ForgetInformationList();
    }
    void CreatePage() {
        page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INFORMATION), parent,
                                  InformationPageProc, 0);
        ASSERT_NE(nullptr, page);
        ASSERT_NE(nullptr, informationList);
    }
    // The sample's DirectX texts, without its processor name: the processor rows come from the registry.
    void FillDirectXTexts() {
        FillSampleDirectX(&directXFacts);
        directXFacts.processorName[0] = 0;
    }

    HWND parent = nullptr;
    HWND page = nullptr;
};

}  // namespace

TEST_F(InformationPageTest, ListControlAndRowLayout) {
    FillDirectXTexts();
    static CapabilityRecord record;
    FillSampleRecord(&record);
    capabilityAvailable = 1;
    capabilityRecord = &record;
    CreatePage();

    EXPECT_EQ(IDC_INFORMATION_LIST, GetDlgCtrlID(informationList));
    wchar_t className[64];
    GetClassNameW(informationList, className, 64);
    EXPECT_STREQ(L"SysListView32", className);
    LONG style = GetWindowLongW(informationList, GWL_STYLE);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & WS_VSCROLL);
    LRESULT extended = SendMessageW(informationList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, extended & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    RECT listRect;
    GetWindowRect(informationList, &listRect);
    EXPECT_EQ(436, listRect.right - listRect.left);
    EXPECT_EQ(306, listRect.bottom - listRect.top);
    RECT pageRect;
    GetWindowRect(page, &pageRect);
    EXPECT_EQ(160, SendMessageW(informationList, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ((pageRect.right - pageRect.left) - 160, SendMessageW(informationList, LVM_GETCOLUMNWIDTH, 1, 0));
    // The list is laid out once it holds its rows: the scroll range covers all 29.
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(informationList, SB_VERT, &scroll));
    EXPECT_EQ(28, scroll.nMax);
    EXPECT_GT(scroll.nPage, 0u);

    // The prefix has the processor key: the full layout.
    ASSERT_EQ(29, ListRowCount(informationList));
    for (int row : {6, 12, 15, 18, 21}) EXPECT_EQ(L"|", Row(row)) << row;
    EXPECT_EQ(L"PC Maker|Maker", Row(19));
    EXPECT_EQ(L"Zbuffer Stencil", ListText(informationList, 28, 0));
    EXPECT_EQ(L"Chip & Co 9000", ValueOfFact(kFactGraphics));
    EXPECT_EQ(7, informationRowOf[kFactGraphics]);
}

TEST_F(InformationPageTest, WithoutCapabilityLibraryNineteenRows) {
    FillDirectXTexts();
    static CapabilityRecord record;
    FillSampleRecord(&record);
    capabilityAvailable = 0;  // a record left over is not used
    capabilityRecord = &record;
    CreatePage();
    ASSERT_EQ(19, ListRowCount(informationList));
    EXPECT_EQ(L"DirectX|DirectX 9.0c", Row(17));
    for (int row : {6, 12, 15, 18}) EXPECT_EQ(L"", ListText(informationList, row, 0)) << row;
    EXPECT_EQ(-1, informationRowOf[kFactPcMaker]);
}

TEST_F(InformationPageTest, RegistryWithoutProcessorKeyAndTwoDisplayClasses) {
    FillDirectXTexts();
    directXFacts.displayChipType[0] = 0;  // the adapters come from the display classes
    FakeMachineHive hive;
    std::wstring classes = kClasses;
    hive.SetText((classes + L"{0001}").c_str(), L"Class", L"Display");
    hive.SetText((classes + L"{0001}\\0000").c_str(), L"DriverDesc", L"First Adapter");
    // Right after a display class, a class key without a Class value: not a display class.
    hive.SetText((classes + L"{0001}x\\0000").c_str(), L"DriverDesc", L"Classless");
    hive.SetText((classes + L"{0002}").c_str(), L"Class", L"Media");
    hive.SetText((classes + L"{0002}\\0000").c_str(), L"DriverDesc", L"Sound Card");
    hive.SetText((classes + L"{0003}").c_str(), L"Class", L"dIsPlAy");
    hive.SetText((classes + L"{0003}\\0000").c_str(), L"DriverDesc", L"   Second Adapter");
    hive.SetText((classes + L"{0004}").c_str(), L"Class", L"DISPLAY");  // no 0000: no row
    hive.SetText((classes + L"{0004}\\0001").c_str(), L"DriverDesc", L"Not Listed");
    hive.SetText((classes + L"{0005}").c_str(), L"Class", L"Display");
    hive.SetText((classes + L"{0005}\\0000").c_str(), L"Other", L"no DriverDesc");
    hive.Override();
    CreatePage();
    hive.Restore();

    // 19 - 3 processor rows - 1 chip row + 3 adapter rows.
    ASSERT_EQ(18, ListRowCount(informationList));
    EXPECT_EQ(L"Memory", ListText(informationList, 0, 0));
    EXPECT_EQ(-1, informationRowOf[kFactCpu]);
    EXPECT_EQ(L"", ListText(informationList, 3, 0));
    EXPECT_EQ(L"Graphics|First Adapter", Row(4));
    EXPECT_EQ(L"Graphics|Second Adapter", Row(5));
    EXPECT_EQ(L"Graphics|", Row(6));  // DriverDesc unreadable: never the class name
    EXPECT_EQ(L"VRAM", ListText(informationList, 7, 0));
    EXPECT_EQ(4, informationRowOf[kFactGraphics]);
    EXPECT_EQ(7, informationRowOf[kFactVram]);
}

TEST_F(InformationPageTest, RegistryProcessorKeyWithBlanksAndMissingValues) {
    FillDirectXTexts();
    FakeMachineHive hive;
    hive.SetText(kProcessor, L"ProcessorNameString", L"      Fake CPU 3000");
    hive.SetNumber(kProcessor, L"~MHz", 66);
    // No Identifier.
    hive.Override();
    CreatePage();
    hive.Restore();

    ASSERT_EQ(19, ListRowCount(informationList));
    EXPECT_EQ(L"CPU|Fake CPU 3000", Row(0));
    EXPECT_EQ(L"066 MHz", ListText(informationList, 1, 1));
    EXPECT_EQ(L"CPUID|", Row(2));
    // The fake hive has no display classes, but the chip type names the adapter.
    EXPECT_EQ(L"Chip & Co 9000", ListText(informationList, 7, 1));
}

// Registry texts of any length and DxDiag texts as long as the probe keeps them: each row shows
// its first 255 characters, and the report's line ends cut at its own capacity.
TEST_F(InformationPageTest, OverLongFactsAreCutInTheRowsAndTheReport) {
    FillDirectXTexts();
    directXFacts.displayChipType[0] = 0;
    const struct {
        wchar_t* field;
        wchar_t letter;
    } driverTexts[] = {{directXFacts.displayMemoryText, L'M'}, {directXFacts.displayDriverName, L'N'},
                       {directXFacts.displayDriverVersion, L'V'}, {directXFacts.displayDriverDate, L'D'}};
    for (const auto& text : driverTexts) lstrcpyW(text.field, std::wstring(127, text.letter).c_str());
    FakeMachineHive hive;
    hive.SetText(kProcessor, L"ProcessorNameString", std::wstring(2000, L'P').c_str());
    hive.SetText(kProcessor, L"Identifier", std::wstring(2000, L'I').c_str());
    hive.SetNumber(kProcessor, L"~MHz", 2394);
    std::wstring classes = kClasses;
    hive.SetText((classes + L"{0001}").c_str(), L"Class", L"Display");
    hive.SetText((classes + L"{0001}\\0000").c_str(), L"DriverDesc", std::wstring(2000, L'G').c_str());
    hive.Override();
    CreatePage();
    hive.Restore();

    const struct {
        int fact;
        std::wstring value;
    } rows[] = {
        {kFactCpu, std::wstring(255, L'P')},         {kFactCpuId, std::wstring(255, L'I')},
        {kFactGraphics, std::wstring(255, L'G')},    {kFactVram, std::wstring(127, L'M')},
        {kFactDriver, std::wstring(127, L'N')},      {kFactDriverVersion, std::wstring(127, L'V')},
        {kFactDriverDate, std::wstring(127, L'D')},  {kFactCpuSpeed, L"2,394 MHz"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.value, ValueOfFact(row.fact)) << row.fact;

    // A report line holds 255 units with its line feed.
    static char form[16 * 1024];
    form[0] = 0;
    AppendPcInformationReport(form, sizeof(form));
    std::vector<std::string> lines;
    for (const char* line = form; *line;) {
        const char* end = strchr(line, '\n');
        lines.push_back(std::string(line, end ? end - line + 1 : strlen(line)));
        line += lines.back().size();
    }
    ASSERT_EQ(15u, lines.size());
    EXPECT_EQ("CPU : " + std::string(248, 'P') + "\n", lines[0]);
    EXPECT_EQ("CPU Speed : 2,394 MHz\n", lines[1]);
    EXPECT_EQ("CPUID : " + std::string(246, 'I') + "\n", lines[2]);
    EXPECT_EQ("Graphics : " + std::string(243, 'G') + "\n", lines[6]);
    EXPECT_EQ("VRAM : " + std::string(127, 'M') + "\n", lines[7]);
    EXPECT_EQ("Graphic driver version : " + std::string(127, 'V') + "\n", lines[9]);
}

TEST_F(InformationPageTest, ValuesOfTheRuntime) {
    SetDirectories(ProgramDirectory(), ProgramDirectory());  // the setup library's stand-in lies here
    directXFacts.directXVersion = ProbeDirectXVersion();
    ProbeDxDiag();
    TakeEnvironmentSnapshot();
    directXFacts.direct3DAccelerated = 1;
    directXFacts.agpAccelerated = 0;
    CreatePage();

    ASSERT_NE(0, directXFacts.processorName[0]);  // the provider names the processor
    EXPECT_EQ(directXFacts.processorName, ValueOfFact(kFactCpu));
    // Wine 10's provider gives no chip type, so the prefix's display class names the adapter;
    // its driver texts are fixed, and so is the Windows that this program is told of, followed
    // by what Wine tells of itself.
    const std::wstring windows = L"Windows 10 Ultimate Edition, 64-bit (build 19043)" + ReadRuntimeWine().Suffix();
    const struct {
        int fact;
        const wchar_t* value;
    } rows[] = {
        {kFactGraphics, L"Wine GPU"},
        {kFactVram, L"4287.3 MB"},
        {kFactDriver, L"nvd3dum.dll"},
        {kFactDriverVersion, L"9.21.0013.9135"},
        {kFactDriverDate, L"1/1/2016 10:00:00 AM"},
        {kFactWindows, windows.c_str()},
        {kFactDirectX, L"DirectX 9.0c"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.value, ValueOfFact(row.fact)) << row.fact;
    EXPECT_EQ(L"Use is possible", ValueOfFact(kFactDirect3D));
    EXPECT_EQ(L"It cannot use", ValueOfFact(kFactAgp));
}

namespace {

uint64_t Figure(const MEMORYSTATUSEX& status, int fact) {
    return fact == kFactMemory ? status.ullTotalPhys
                               : fact == kFactAvailMemory ? status.ullAvailPhys : status.ullAvailVirtual;
}

// The byte count of a memory row, commas dropped; 0 when the row has none.
uint64_t BytesOfMemoryRow(const std::wstring& value) {
    size_t open = value.find(L"( ");
    uint64_t bytes = 0;
    for (size_t i = open == std::wstring::npos ? value.size() : open + 2; i < value.size(); ++i) {
        if (value[i] >= L'0' && value[i] <= L'9') bytes = bytes * 10 + (value[i] - L'0');
        else if (value[i] != L',') break;
    }
    return bytes;
}

}  // namespace

// The rows tell what GlobalMemoryStatusEx tells, uncapped: total memory exactly, the two free
// figures within what they were just before and after the page was filled.
TEST_F(InformationPageTest, MemoryRowsAreThoseOfGlobalMemoryStatusEx) {
    MEMORYSTATUSEX before = {};
    before.dwLength = sizeof(before);
    ASSERT_TRUE(GlobalMemoryStatusEx(&before));
    FillDirectXTexts();
    CreatePage();
    MEMORYSTATUSEX after = {};
    after.dwLength = sizeof(after);
    ASSERT_TRUE(GlobalMemoryStatusEx(&after));

    const uint64_t kDrift = 512ull << 20;  // other programs of the machine allocate meanwhile
    for (int fact : {kFactMemory, kFactAvailMemory, kFactVirtualMemory}) {
        std::wstring value = ValueOfFact(fact);
        uint64_t bytes = BytesOfMemoryRow(value);
        // The figures' format is InformationFormat's; here only its shape.
        EXPECT_TRUE(std::regex_match(value, std::wregex(L"[0-9]+MBytes \\( [0-9]{1,3}(,[0-9]{3})*Bytes \\)"))) << value;
        if (fact == kFactMemory) {
            EXPECT_EQ(before.ullTotalPhys, bytes) << value;
            continue;
        }
        uint64_t low = std::min(Figure(before, fact), Figure(after, fact));
        uint64_t high = std::max(Figure(before, fact), Figure(after, fact));
        EXPECT_GE(bytes + kDrift, low) << fact << " " << value;
        EXPECT_LE(bytes, high + kDrift) << fact << " " << value;
    }
}

TEST_F(InformationPageTest, JapaneseColumnsAndCaptions) {
    languageIndex = 1;
    FillDirectXTexts();
    CreatePage();
    wchar_t text[64] = L"";
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 64;
    SendMessageW(informationList, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(L"値", text);
    EXPECT_EQ(L"ダイレクトX", ListText(informationList, informationRowOf[kFactDirectX], 0));
    EXPECT_EQ(L"利用できません", ValueOfFact(kFactDirect3D));
}

// ---- The Windows row on Wine --------------------------------------------------------------

namespace {

// What Wine's exports answer in a test.
struct WineAnswers {
    bool exported;  // both exports, or neither as on Windows
    const char* version;
    const char* system;
    const char* release;
};
const WineAnswers* wineAnswers;

const char* __cdecl FakeWineVersion() { return wineAnswers->version; }

void __cdecl FakeWineHostVersion(const char** system, const char** release) {
    *system = wineAnswers->system;
    *release = wineAnswers->release;
}

}  // namespace

// The exports' answers, and HKLM\Software\Wine: the runtime's own key, or an empty hive.
TEST_F(InformationRowsTest, WindowsRowTellsTheWineItRunsOn) {
    const std::string longRelease(250, 'r');
    const struct {
        WineAnswers answers;
        bool key;
        std::wstring row;
    } cases[] = {
        {{true, "10.0", "Linux", "6.18.44"}, true, L"Windows XP Professional on Wine 10.0 (Linux 6.18.44)"},
        {{true, "10.0", nullptr, nullptr}, false, L"Windows XP Professional on Wine 10.0"},
        {{true, "10.0", "Linux", ""}, true, L"Windows XP Professional on Wine 10.0"},
        {{false, "10.0", "Linux", "6.18.44"}, true, L"Windows XP Professional on Wine"},
        {{true, "", "Linux", "6.18.44"}, true, L"Windows XP Professional on Wine"},
        {{true, nullptr, "Linux", "6.18.44"}, true, L"Windows XP Professional on Wine"},
        {{false, "10.0", "Linux", "6.18.44"}, false, L"Windows XP Professional"},  // Windows
        // 44 units before the release: the row's 255 hold its first 211.
        {{true, "10.0", "Linux", longRelease.c_str()}, false,
         L"Windows XP Professional on Wine 10.0 (Linux " + std::wstring(211, L'r')},
    };
    FakeMachineHive withoutKey;
    for (const auto& c : cases) {
        wineAnswers = &c.answers;
        const WineLayerQueries queries = {c.answers.exported ? FakeWineVersion : nullptr,
                                          c.answers.exported ? FakeWineHostVersion : nullptr,
                                          c.key ? HKEY_LOCAL_MACHINE : withoutKey.root};
        WineLayerFacts wine;
        GatherWineLayerFactsWith(&queries, &wine);
        FillSampleEnvironment(&pc.environment);
        NameWineLayer(&wine, pc.environment.wineSuffix);
        pc.Build();
        EXPECT_EQ(c.row, pc.ValueOf(kFactWindows)) << Utf8(c.row);
        EXPECT_STREQ(L"Windows XP Professional", pc.environment.windowsName);  // only the row has the suffix
    }
}
