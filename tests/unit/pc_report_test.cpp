
#include <string>

#include "process_records.h"
#include "support/pc_report.h"
#include "support_fixtures.h"

namespace {

std::string Encoded(const std::wstring& text, int unitCount, int* result = nullptr) {
    char bytes[kEncodedTextCapacity + 16];
    memset(bytes, 0x7E, sizeof(bytes));
    int written = EncodeUtf8Limited(text.c_str(), bytes, unitCount);
    if (result) *result = written;
    // Nothing beyond the 512 bytes is touched.
    for (size_t i = kEncodedTextCapacity; i < sizeof(bytes); ++i) EXPECT_EQ(0x7E, bytes[i]);
    return std::string(bytes, written > 0 ? written - 1 : 0);
}

}  // namespace

TEST(EncodeUtf8Limited, EncodesEachUnitByItself) {
    int result = 0;
    EXPECT_EQ("caf\xC3\xA9", Encoded(L"caf\u00E9", 256, &result));
    EXPECT_EQ(6, result);  // the terminator counts
    EXPECT_EQ("\xE6\x83\x85\xE5\xA0\xB1", Encoded(L"情報", 256));
    EXPECT_EQ("\xDF\xBF\xE0\xA0\x80", Encoded(L"\u07FF\u0800", 256));
    // U+1F600 is the surrogate pair D83D DE00: two three-byte sequences, not one four-byte one.
    EXPECT_EQ("a\xED\xA0\xBD\xED\xB8\x80" "b", Encoded(L"a\xD83D\xDE00" L"b", 256));
    EXPECT_EQ("", Encoded(L"", 256, &result));
    EXPECT_EQ(1, result);
}

TEST(EncodeUtf8Limited, MissingArguments) {
    char bytes[8] = "keep";
    EXPECT_EQ(0, EncodeUtf8Limited(nullptr, bytes, 256));
    EXPECT_STREQ("keep", bytes);
    EXPECT_EQ(0, EncodeUtf8Limited(L"x", nullptr, 256));
}

TEST(EncodeUtf8Limited, UnitAndByteLimits) {
    int result = 0;
    // A line of 255 characters fits whole with its terminator.
    std::wstring line(254, L'x');
    line += L'\n';
    EXPECT_EQ(std::string(254, 'x') + "\n", Encoded(line, 256, &result));
    EXPECT_EQ(256, result);
    // Longer than the unit count: cut, and still terminated.
    EXPECT_EQ(std::string(255, 'y'), Encoded(std::wstring(300, L'y'), 256));
    // The byte limit keeps room for the terminator.
    EXPECT_EQ(std::string(511, 'z'), Encoded(std::wstring(600, L'z'), 1024, &result));
    EXPECT_EQ(512, result);
    // A unit whose bytes would not fit is left out whole.
    EXPECT_EQ(std::string(510, 'a'), Encoded(std::wstring(510, L'a') + L"\u00E9", 1024));
    EXPECT_EQ(std::string(509, 'a') + "\xC3\xA9", Encoded(std::wstring(509, L'a') + L"\u00E9", 1024));
    std::string japanese;
    for (int i = 0; i < 170; ++i) japanese += "\xE3\x81\x82";
    EXPECT_EQ(japanese, Encoded(std::wstring(200, L'\u3042'), 256));  // 170 x 3 = 510 bytes
}

TEST(HtmlEscape, EscapesMarkupCharacters) {
    char text[128] = "start:";
    AppendHtmlEscaped(text, sizeof(text), "C:\\Games\\Tom & Jerry\\");
    EXPECT_STREQ("start:C:\\Games\\Tom &amp; Jerry\\", text);
    text[0] = 0;
    AppendHtmlEscaped(text, sizeof(text), "<script>\"x\"</script>");
    EXPECT_STREQ("&lt;script&gt;&quot;x&quot;&lt;/script&gt;", text);
    text[0] = 0;
    const char plain[] = "Plain text, 'quotes', \xE6\x83\x85 / 100%";
    AppendHtmlEscaped(text, sizeof(text), plain);
    EXPECT_STREQ(plain, text);
}

TEST(HtmlEscape, NeverOverrunsAndCutsWholeEntities) {
    char text[12];
    memset(text, 0, sizeof(text));
    lstrcpyA(text, "abc");
    AppendHtmlEscaped(text, 10, "de&fg");  // "abcde" + "&amp;" would need 11 bytes
    EXPECT_STREQ("abcde", text);
    EXPECT_EQ(0, text[10]);
    AppendHtmlEscaped(text, 10, "1234567");
    EXPECT_STREQ("abcde1234", text);
}

namespace {

// A list view filled by the page's own row code, standing in for the Information page.
class PcReportTest : public RecordsTest {
protected:
    void TearDown() override {
        if (list) DestroyWindow(list);
        ForgetInformationList();
    }
    // Builds the rows as the page would, lists them, and runs the report.
    std::string Report(bool withCapability) {
        pc.Build(withCapability);
        if (list) DestroyWindow(list);
        list = ListInformationRows(pc.rows, nullptr);
        EXPECT_NE(nullptr, list);
        capabilityAvailable = withCapability ? 1 : 0;
        capabilityRecord = withCapability ? &pc.record : nullptr;
        static char form[64 * 1024];
        lstrcpyA(form, "<head>");
        AppendPcInformationReport(form, sizeof(form));
        std::string text = form;
        EXPECT_EQ("<head>", text.substr(0, 6));
        return text.substr(6);
    }

    SamplePc pc;
    HWND list = nullptr;
};

// The text with one piece put in place of another.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST_F(PcReportTest, FullLayoutLineByLine) {
    EXPECT_EQ(kSampleReport, Report(true));
}

TEST_F(PcReportTest, WithoutCapabilityFifteenLines) {
    EXPECT_EQ(SampleReportWithoutCapability(), Report(false));
    // A usable library that gave no record: the same fifteen lines.
    capabilityAvailable = 1;
    char form[4096] = "";
    AppendPcInformationReport(form, sizeof(form));
    EXPECT_EQ(SampleReportWithoutCapability(), form);
}

TEST_F(PcReportTest, JapaneseCaptionsInUtf8) {
    languageIndex = 1;
    std::string report = Report(false);
    EXPECT_EQ(0u, report.find("CPU\xE5\x90\x8D : DxDiag CPU\n"));  // "CPU名"
    EXPECT_NE(std::string::npos,
              report.find("\xE3\x83\x80\xE3\x82\xA4\xE3\x83\xAC\xE3\x82\xAF\xE3\x83\x88X : DirectX 9.0c\n"));
    EXPECT_EQ(std::string::npos, report.find('\r'));
}

// Each caption keeps its own value when rows are missing or added.
TEST_F(PcReportTest, ProcessorKeyMissing) {
    pc.facts.processorKeyOpened = 0;
    std::string report = Report(true);
    std::string full = kSampleReport;
    std::string expected = "CPU : \nCPU Speed : \nCPUID : \n" + full.substr(full.find("Memory :"));
    EXPECT_EQ(expected, report);
}

TEST_F(PcReportTest, TwoAdapterRows) {
    pc.directX.displayChipType[0] = 0;
    pc.facts.adapterCount = 2;
    lstrcpyW(pc.facts.adapterNames[0], L"First Adapter");
    lstrcpyW(pc.facts.adapterNames[1], L"Second Adapter");
    EXPECT_EQ(Replaced(kSampleReport, "Graphics : Chip &amp; Co 9000", "Graphics : First Adapter"), Report(true));
}

TEST_F(PcReportTest, NoAdapterRowAndEmptyDriverTexts) {
    pc.directX.displayChipType[0] = 0;
    pc.directX.displayMemoryText[0] = 0;
    pc.directX.displayDriverVersion[0] = 0;
    std::string expected = Replaced(kSampleReport, "Graphics : Chip &amp; Co 9000", "Graphics : ");
    expected = Replaced(expected, "VRAM : 256.0 MB", "VRAM : ");
    expected = Replaced(expected, "version : 6.14.10.9000", "version : ");
    EXPECT_EQ(expected, Report(true));
}

TEST_F(PcReportTest, ValuesAreEscapedAndLongLinesKeepTheirEnd) {
    lstrcpyW(pc.directX.displayDriverName, L"<b>\"nv\" & co</b>");
    std::wstring longName(250, L'\u3042');  // 3 bytes each: the line is cut by bytes
    pc.directX.processorName[0] = 0;  // the registry's name, longer than DxDiag's can be
    lstrcpyW(pc.facts.processorNameString, longName.c_str());
    std::string report = Report(false);
    EXPECT_NE(std::string::npos, report.find("Graphic driver : &lt;b&gt;&quot;nv&quot; &amp; co&lt;/b&gt;\n"));
    size_t firstEnd = report.find('\n');
    EXPECT_EQ(0u, report.find("CPU : \xE3\x81\x82"));
    EXPECT_LE(firstEnd + 1, 511u);
    EXPECT_EQ(0u, (firstEnd - 6) % 3);  // cut between characters
    EXPECT_EQ(0u, report.find("CPU Speed : ", firstEnd + 1) - (firstEnd + 1));
}

TEST_F(PcReportTest, NoListGivesEmptyValues) {
    ForgetInformationList();
    capabilityAvailable = 0;
    char form[1024] = "";
    AppendPcInformationReport(form, sizeof(form));
    EXPECT_EQ(0u, std::string(form).find("CPU : \nCPU Speed : \nCPUID : \nMemory : \n"));
}

TEST_F(PcReportTest, FormCapacityIsRespected) {
    Report(false);
    char form[40];
    memset(form, 0x7E, sizeof(form));
    form[0] = 0;
    AppendPcInformationReport(form, 32);
    EXPECT_EQ(31u, strlen(form));
    EXPECT_EQ(0x7E, form[32]);
}
