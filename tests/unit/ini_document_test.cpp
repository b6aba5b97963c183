#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>
#include <windows.h>
#include <sddl.h>

#include "options/ini_document.h"
#include "allocation_fake.h"
#include "shared/test_support.h"

namespace {

class IniDocumentTest : public testing::Test {
protected:
    void SetUp() override {
        FreeIniDocument();
        ASSERT_TRUE(scratch.Made());
    }
    void TearDown() override {
        iniAllocate = malloc;
        FreeIniDocument();
    }
    // Loads the bytes from a file, as the tool does.
    int Load(const std::string& bytes) {
        EXPECT_TRUE(WriteBytes(scratch.File(L"in.ini"), bytes));
        return LoadIniDocument(scratch.File(L"in.ini").c_str());
    }
    // The bytes that writing the held document gives.
    std::string Written() {
        std::wstring out = scratch.File(L"out.ini");
        DeleteFileW(out.c_str());
        EXPECT_EQ(1, WriteIniDocument(out.c_str()));
        return FileText(out);
    }
    std::string Rewrite(const std::string& bytes) {
        EXPECT_EQ(1, Load(bytes));
        return Written();
    }
    ScratchDirectory scratch{L"ini"};
};

TEST(IniText, HashSkipsSpacesAndFoldsAsciiCapitals) {
    EXPECT_EQ(292u, HashIniName(L"ab"));
    EXPECT_EQ(1617u, HashIniName(L"mode"));
    EXPECT_EQ(1617u, HashIniName(L"Mode"));
    EXPECT_EQ(1617u, HashIniName(L"MO DE "));
    EXPECT_NE(1617u, HashIniName(L"mo\tde"));  // only U+0020 is skipped
    EXPECT_EQ(0u, HashIniName(L""));
    // Folding is ASCII only: U+00C9 and U+00E9 hash apart.
    EXPECT_NE(HashIniName(L"\u00c9"), HashIniName(L"\u00e9"));
    // Wraps silently: 40 doublings push the first unit out entirely.
    EXPECT_EQ(HashIniName(L"b" L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"),
              HashIniName(L"c" L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"));
}

TEST(IniText, TrimRemovesOuterSpacesAndTabsOnly) {
    wchar_t text[32] = L" \t a \t b\t \t";
    TrimIniText(text);
    EXPECT_STREQ(L"a \t b", text);
    wchar_t blank[8] = L" \t \t";
    TrimIniText(blank);
    EXPECT_STREQ(L"", blank);
    wchar_t other[8] = L"\r x \n";
    TrimIniText(other);
    EXPECT_STREQ(L"\r x \n", other);
}

TEST_F(IniDocumentTest, BuiltDocumentIsWrittenInTheFileFormat) {
    EXPECT_EQ(1, SetIniValue(L"DISPLAY", L"mode", L"1"));
    EXPECT_EQ(1, SetIniValue(L"DISPLAY", L"width", L"800"));
    EXPECT_EQ(1, SetIniValue(L"SOUND", L"mode", L"0"));
    EXPECT_EQ(1, SetIniValue(L"DISPLAY", L"height", L" 600 "));  // stored verbatim
    EXPECT_EQ("[DISPLAY]\r\nmode=1\r\nwidth=800\r\nheight= 600 \r\n\r\n[SOUND]\r\nmode=0\r\n\r\n", Written());
    EXPECT_EQ(600, GetIniInt(L"DISPLAY", L"height", 0));
    EXPECT_EQ(0, GetIniInt(L"SOUND", L"mode", 5));
}

TEST_F(IniDocumentTest, RewriteNormalisesLinesButKeepsOrderCommentsAndUnknownSections) {
    std::string in =
        "; leading note\r\n"
        "width = 1024\n"
        "\n\n\r\n"
        "# first comment   \r"
        "[OTHER]\r\n"
        "  key = a = b  \r\n"
        "#  kept\t\r\n"
        "\r\n"
        "[DISPLAY]\r\n"
        "lonely\r\n"
        "height=576";
    EXPECT_EQ(
        "; leading note=\r\n"
        "width= 1024\r\n"
        "# first comment\r\n"
        "\r\n"
        "[OTHER]\r\n"
        "key= a = b  \r\n"
        "#  kept\r\n"
        "\r\n"
        "[DISPLAY]\r\n"
        "lonely=\r\n"
        "height=576\r\n"
        "\r\n",
        Rewrite(in));
    EXPECT_EQ(-1, FindIniSection(L""));  // the unnamed section is never looked up
    EXPECT_EQ(0, GetIniInt(L"DISPLAY", L"lonely", 7));  // present without '=': 0, not the default
    EXPECT_EQ(7, GetIniInt(L"DISPLAY", L"absent", 7));
    ASSERT_EQ(3, iniDocument.sectionCount);
    EXPECT_EQ(3, iniDocument.sections[0].entryCount);
    EXPECT_STREQ(L"width", iniDocument.sections[0].entries[1].name);
    EXPECT_STREQ(L" 1024", iniDocument.sections[0].entries[1].value);
    EXPECT_EQ(1, iniDocument.sections[0].entries[2].isComment);
    EXPECT_STREQ(L"", iniDocument.sections[0].entries[2].value);
    EXPECT_EQ(0u, iniDocument.sections[0].entries[2].nameHash);
}

TEST_F(IniDocumentTest, SetKeepsPlacesAndAppendsMissingKeysAndSections) {
    Load("# top\r\n[SYSTEM]\r\nsmoke=100\r\n# why\r\nFOO=bar\r\n[DISPLAY]\r\nwidth=640\r\n");
    EXPECT_EQ(1, SetIniValue(L"display", L"WIDTH", L"1280"));  // names match in any case
    EXPECT_EQ(1, SetIniValue(L"SYSTEM", L"cursor", L"0"));
    EXPECT_EQ(1, SetIniValue(L"VOLUME", L"bgm", L"80"));
    EXPECT_EQ(1, SetIniValue(L"SYSTEM", L"smoke", L"250"));
    EXPECT_EQ(
        "# top\r\n\r\n"
        "[SYSTEM]\r\nsmoke=250\r\n# why\r\nFOO=bar\r\ncursor=0\r\n\r\n"
        "[DISPLAY]\r\nwidth=1280\r\n\r\n"
        "[VOLUME]\r\nbgm=80\r\n\r\n",
        Written());
}

TEST_F(IniDocumentTest, RepeatedSectionIsKeptButOnlyTheFirstIsUsed) {
    Load("[S]\r\nk=1\r\n[T]\r\nx=0\r\n[s]\r\nk=2\r\nj=3\r\n");
    ASSERT_EQ(4, iniDocument.sectionCount);
    EXPECT_EQ(1, FindIniSection(L"S"));
    EXPECT_EQ(1, GetIniInt(L"S", L"k", 0));
    EXPECT_EQ(-4, GetIniInt(L"S", L"j", -4));
    EXPECT_EQ(1, SetIniValue(L"S", L"k", L"9"));
    EXPECT_EQ(1, SetIniValue(L"S", L"j", L"8"));
    EXPECT_EQ("[S]\r\nk=9\r\nj=8\r\n\r\n[T]\r\nx=0\r\n\r\n[s]\r\nk=2\r\nj=3\r\n\r\n", Written());
}

TEST_F(IniDocumentTest, HeaderRecognitionIsStrict) {
    // A blank after ']', an unclosed '[' and an empty '[]' are ignored: keys stay where they were.
    Load("[A]\r\nk=1\r\n[B] \r\nk2=2\r\n[C\r\nk3=3\r\n[]\r\nk4=4\r\n[\r\n[ \t D d ]\r\ne=5\r\n");
    ASSERT_EQ(3, iniDocument.sectionCount);
    EXPECT_EQ(-1, FindIniSection(L"B"));
    EXPECT_EQ(2, GetIniInt(L"A", L"k2", 0));
    EXPECT_EQ(3, GetIniInt(L"A", L"k3", 0));
    EXPECT_EQ(4, GetIniInt(L"A", L"k4", 0));
    EXPECT_EQ(5, GetIniInt(L"D d", L"e", 0));  // the name between the brackets is trimmed
    EXPECT_EQ(-1, FindIniSection(L" D d"));    // wanted names are not trimmed
    EXPECT_EQ("[A]\r\nk=1\r\nk2=2\r\nk3=3\r\nk4=4\r\n\r\n[D d]\r\ne=5\r\n\r\n", Written());
}

TEST_F(IniDocumentTest, OnlyHashInTheFirstColumnStartsAComment) {
    Load("[A]\r\n#mode=1\r\n;mode=2\r\n #x=3\r\n");
    EXPECT_EQ(-1, GetIniInt(L"A", L"mode", -1));  // '#mode=1' is no key
    EXPECT_EQ(-1, FindIniEntry(1, L"mode"));
    EXPECT_EQ(2, GetIniInt(L"A", L";mode", 0));
    EXPECT_EQ(3, GetIniInt(L"A", L"#x", 0));
}

TEST_F(IniDocumentTest, KeysThatLookLikeHeadersOrCommentsReadBackAsKeys) {
    // ' [X]=]' is a key '[X]' of section A; written flush left it would become a header [X]=]
    // and take the following keys away from A.
    std::string once = Rewrite("[A]\r\n [X]=]\r\n #c=1\r\nwidth=800\r\n[ ]\r\nk=2\r\n");
    EXPECT_EQ("[A]\r\n [X]=]\r\n #c=1\r\nwidth=800\r\n\r\n[ ]\r\nk=2\r\n\r\n", once);
    EXPECT_EQ(once, Rewrite(once));
    EXPECT_EQ(800, GetIniInt(L"A", L"width", 0));
    EXPECT_EQ(1, GetIniInt(L"A", L"#c", 0));
    EXPECT_EQ(-1, FindIniEntry(1, L"k"));  // k stays in the blank-named section
}

TEST_F(IniDocumentTest, NumbersAreReadLeniently) {
    Load("[N]\r\n"
         "quoted=\"1024\"\r\nspaced= \t\" 12 \" \r\nleftquote=\"7\r\nrightquote=8\"\r\nquote=\"\r\n"
         "empty=\r\nword=abc\r\ntail=12abc\r\nneg=-7\r\nplus=+7\r\nsplit=- 7\r\nsingle='5'\r\n"
         "max=2147483647\r\nover=2147483648\r\nhuge=99999999999999999999999999\r\n"
         "min=-2147483648\r\nunder=-2147483649\r\nhugeneg=-99999999999999999999\r\nzeros=0000042\r\n");
    struct {
        const wchar_t* key;
        int32_t expected;
    } cases[] = {{L"quoted", 1024}, {L"spaced", 12},       {L"leftquote", 7},       {L"rightquote", 8},
                 {L"quote", 0},     {L"empty", 0},         {L"word", 0},            {L"tail", 12},
                 {L"neg", -7},      {L"plus", 7},          {L"split", 0},           {L"single", 0},
                 {L"max", INT32_MAX}, {L"over", INT32_MAX}, {L"huge", INT32_MAX},   {L"min", INT32_MIN},
                 {L"under", INT32_MIN}, {L"hugeneg", INT32_MIN}, {L"zeros", 42}};
    for (const auto& c : cases) EXPECT_EQ(c.expected, GetIniInt(L"N", c.key, -99)) << c.key;
    EXPECT_EQ(-99, GetIniInt(L"N", L"missing", -99));
    EXPECT_EQ(-99, GetIniInt(L"M", L"quoted", -99));
    EXPECT_EQ(1024, GetIniInt(L"n", L"QUOTED", -99));
}

TEST_F(IniDocumentTest, TextEndsAtTheFirstNulByte) {
    EXPECT_EQ("[A]\r\nk=1\r\n\r\n", Rewrite(std::string("[A]\r\nk=1\0\r\nj=2\r\n", 17)));
    EXPECT_EQ(-5, GetIniInt(L"A", L"j", -5));
    EXPECT_EQ("", Rewrite(std::string("\0[A]\r\nk=1\r\n", 11)));
}

TEST_F(IniDocumentTest, DeletingAndClearing) {
    Load("[A]\r\nk=1\r\nj=2\r\n[B]\r\nx=1\r\n# note\r\n[C]\r\ny=1\r\n");
    EXPECT_EQ(1, SetIniValue(L"A", L"k", nullptr));
    EXPECT_EQ(9, GetIniInt(L"A", L"k", 9));
    EXPECT_EQ(1, SetIniValue(L"B", nullptr, nullptr));
    EXPECT_EQ(2, FindIniSection(L"B"));  // the record stays
    EXPECT_EQ(9, GetIniInt(L"B", L"x", 9));
    EXPECT_EQ("[A]\r\nj=2\r\n\r\n[C]\r\ny=1\r\n\r\n", Written());

    // A deleted key set again goes to the end; a cleared section written again keeps its place.
    EXPECT_EQ(1, SetIniValue(L"A", L"k", L"3"));
    EXPECT_EQ(1, SetIniValue(L"B", L"x", L"4"));
    EXPECT_EQ("[A]\r\nj=2\r\nk=3\r\n\r\n[B]\r\nx=4\r\n\r\n[C]\r\ny=1\r\n\r\n", Written());

    EXPECT_EQ(0, SetIniValue(L"A", L"new", nullptr));  // nothing to delete, nothing to add
    EXPECT_EQ(0, SetIniValue(L"A", L"", L"1"));
    EXPECT_EQ(0, SetIniValue(nullptr, L"k", L"1"));
    EXPECT_EQ(1, SetIniValue(L"E", nullptr, nullptr));  // appended, empty: not written
    EXPECT_EQ(4, FindIniSection(L"E"));
    EXPECT_EQ("[A]\r\nj=2\r\nk=3\r\n\r\n[B]\r\nx=4\r\n\r\n[C]\r\ny=1\r\n\r\n", Written());
}

TEST_F(IniDocumentTest, EmptyFileAndNoDocument) {
    EXPECT_EQ(1, Load(""));
    EXPECT_EQ(1, iniDocument.sectionCount);
    EXPECT_EQ(10, iniDocument.sectionCapacity);
    std::wstring out = scratch.File(L"out.ini");
    EXPECT_TRUE(WriteBytes(out, "old text"));
    EXPECT_EQ(1, WriteIniDocument(out.c_str()));
    EXPECT_EQ("", FileText(out));
    EXPECT_EQ(1, Load("\r\n\n\r\r"));
    EXPECT_EQ("", Written());

    FreeIniDocument();
    EXPECT_EQ(nullptr, iniDocument.sections);
    FreeIniDocument();  // harmless twice
    EXPECT_TRUE(WriteBytes(out, "old text"));
    EXPECT_EQ(0, WriteIniDocument(out.c_str()));
    EXPECT_EQ("old text", FileText(out));
    EXPECT_EQ(3, GetIniInt(L"A", L"k", 3));
    EXPECT_EQ(-1, FindIniSection(L"A"));
    EXPECT_EQ(0, AddIniSection(L"A"));
    EXPECT_EQ(0, AddIniEntry(0, L"k", L"v", 0));

    // A failed load holds nothing, so what is set afterwards is all that is written.
    EXPECT_EQ(1, Load("[A]\r\nk=1\r\n"));
    EXPECT_EQ(0, LoadIniDocument(scratch.File(L"absent.ini").c_str()));
    EXPECT_EQ(nullptr, iniDocument.sections);
    EXPECT_EQ(0, LoadIniDocument(scratch.File(L"").c_str()));  // a directory
    EXPECT_EQ(1, SetIniValue(L"B", L"x", L"1"));
    EXPECT_EQ("[B]\r\nx=1\r\n\r\n", Written());
}

TEST_F(IniDocumentTest, NamesAreCutThenTrimmed) {
    std::wstring longKey = std::wstring(300, L'k');
    std::wstring paddedKey = L"pad" + std::wstring(260, L' ') + L"tail";
    ASSERT_EQ(1, SetIniValue(L"A", longKey.c_str(), L"1"));
    ASSERT_EQ(1, AddIniEntry(1, paddedKey.c_str(), L"2", 0));
    EXPECT_EQ(std::wstring(255, L'k'), iniDocument.sections[1].entries[0].name);
    EXPECT_STREQ(L"pad", iniDocument.sections[1].entries[1].name);
    EXPECT_EQ(2, GetIniInt(L"A", L"pad", 0));
    EXPECT_EQ(1, GetIniInt(L"A", std::wstring(255, L'k').c_str(), 0));
    EXPECT_EQ(-1, FindIniEntry(1, longKey.c_str()));  // the wanted name is not cut

    std::wstring longValue(100000, L'7');
    ASSERT_EQ(1, SetIniValue(L"A", L"v", longValue.c_str()));
    EXPECT_EQ(longValue, iniDocument.sections[1].entries[2].value);
    std::wstring indentedKey = std::wstring(10, L' ') + std::wstring(300, L'j');
    ASSERT_EQ(1, AddIniEntry(1, indentedKey.c_str(), L"3", 0));
    EXPECT_EQ(std::wstring(245, L'j'), iniDocument.sections[1].entries[3].name);

    // Refused: null and empty names, null values. A blank name is kept but never found or written.
    EXPECT_EQ(0, AddIniSection(nullptr));
    EXPECT_EQ(0, AddIniSection(L""));
    EXPECT_EQ(0, AddIniEntry(1, L"", L"v", 0));
    EXPECT_EQ(0, AddIniEntry(1, L"x", nullptr, 0));
    EXPECT_EQ(0, AddIniEntry(7, L"x", L"v", 0));
    EXPECT_EQ(0, AddIniEntry(-1, L"x", L"v", 0));
    EXPECT_EQ(1, AddIniEntry(1, L"  ", L"v", 0));
    EXPECT_EQ(-1, FindIniEntry(1, L"  "));
    EXPECT_EQ(-1, FindIniEntry(1, L""));
    std::string written = Written();
    EXPECT_EQ(std::string::npos, written.find("=v"));
    EXPECT_NE(std::string::npos, written.find("\r\npad=2\r\n"));
}

// Arrays double from ten records, so a file of thousands of lines costs a handful of array
// allocations (counted through the engine's allocator), not one per ten lines.
TEST_F(IniDocumentTest, ArraysGrowWithoutDisturbingOrder) {
    ASSERT_EQ(1, SetIniValue(L"A", L"k0", L"0"));
    EXPECT_EQ(10, iniDocument.sections[1].entryCapacity);
    UseAllocationFake();
    for (int i = 1; i < 3000; ++i) {
        std::wstring key = L"k" + std::to_wstring(i);
        ASSERT_EQ(1, SetIniValue(L"A", key.c_str(), std::to_wstring(i).c_str()));
    }
    EXPECT_EQ(2999u + 9, allocationFake.count);  // a copy of each value; arrays of 20, 40, ... 5120
    allocationFake.count = 0;
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(1, AddIniSection(std::to_wstring(i).c_str()));
    EXPECT_EQ(8u, allocationFake.count);  // 20, 40, ... 2560 sections
    EXPECT_EQ(3000, iniDocument.sections[1].entryCount);
    EXPECT_EQ(2002, iniDocument.sectionCount);
    EXPECT_GE(iniDocument.sectionCapacity, iniDocument.sectionCount);
    for (int i = 0; i < 3000; i += 7) {
        std::wstring key = L"K" + std::to_wstring(i);
        EXPECT_EQ(i, GetIniInt(L"a", key.c_str(), -1));
        EXPECT_STREQ(key.c_str() + 1, iniDocument.sections[1].entries[i].name + 1);
    }
    EXPECT_EQ(1001, FindIniSection(L"999"));
}

TEST_F(IniDocumentTest, AllocationFailuresLeaveWhatIsThere) {
    ASSERT_EQ(1, SetIniValue(L"A", L"k0", L"5"));
    for (int i = 1; i < 10; ++i) ASSERT_EQ(1, SetIniValue(L"A", (L"k" + std::to_wstring(i)).c_str(), L"1"));
    IniEntry* entries = iniDocument.sections[1].entries;
    UseAllocationFake(1);  // the value is copied, the larger array cannot be had
    EXPECT_EQ(0, SetIniValue(L"A", L"k10", L"1"));
    EXPECT_EQ(entries, iniDocument.sections[1].entries);
    EXPECT_EQ(10, iniDocument.sections[1].entryCapacity);
    EXPECT_EQ(10, iniDocument.sections[1].entryCount);
    allocationFake.allowed = 0;
    EXPECT_EQ(0, SetIniValue(L"A", L"k0", L"6"));
    EXPECT_EQ(5, GetIniInt(L"A", L"k0", -1));  // the old value stays

    for (int i = iniDocument.sectionCount; i < 10; ++i) ASSERT_EQ(1, AddIniSection(L"S"));
    IniSection* sections = iniDocument.sections;
    EXPECT_EQ(0, AddIniSection(L"T"));
    EXPECT_EQ(sections, iniDocument.sections);
    EXPECT_EQ(10, iniDocument.sectionCapacity);
    EXPECT_EQ(10, iniDocument.sectionCount);
    EXPECT_EQ(0, SetIniValue(L"T", L"k", L"1"));
    std::wstring out = scratch.File(L"out.ini");
    EXPECT_TRUE(WriteBytes(out, "keep"));
    EXPECT_EQ(0, WriteIniDocument(out.c_str()));
    EXPECT_EQ("keep", FileText(out));
    allocationFake.allowed = -1;
    EXPECT_EQ(1, AddIniSection(L"T"));
    EXPECT_EQ(11, iniDocument.sectionCount);
    EXPECT_EQ(5, GetIniInt(L"A", L"k0", -1));

    // Loading: no memory for the file, or for a line that is to be kept, gives no document, so
    // that no save writes back a file without the lines that did not fit.
    allocationFake.allowed = 0;
    EXPECT_EQ(0, Load("[A]\r\nk=1\r\n"));
    EXPECT_EQ(nullptr, iniDocument.sections);
    allocationFake.allowed = 4;  // bytes, text, document, the first value; not the first entry array
    EXPECT_EQ(0, Load("[A]\r\nk=1\r\n[B]\r\nj=2\r\n"));
    EXPECT_EQ(nullptr, iniDocument.sections);
    allocationFake.allowed = 1;  // the document; not the first value
    EXPECT_EQ(0, ParseIniText(L"[A]\r\nk=1\r\n"));
    EXPECT_EQ(nullptr, iniDocument.sections);
    // Lines that the rules drop are no failure: '[]' and a key line without a name.
    allocationFake.allowed = -1;
    EXPECT_EQ(1, Load("[]\r\n=v\r\n[A]\r\nk=1\r\n"));
    EXPECT_EQ(1, GetIniInt(L"A", L"k", -1));
    EXPECT_EQ(2, iniDocument.sectionCount);
    EXPECT_EQ(nullptr, iniDocument.sections[0].entries);
}

TEST_F(IniDocumentTest, TextIsInTheAnsiCodePage) {
    ASSERT_EQ(1252u, GetACP()) << "the cases below are written for Western European text";
    EXPECT_EQ("[A]\r\nname=caf\xE9 \x80\r\n\r\n", Rewrite("[A]\r\nname=caf\xE9 \x80\r\n"));
    EXPECT_STREQ(L"caf\u00e9 \u20ac", iniDocument.sections[1].entries[0].value);
    EXPECT_EQ(1, SetIniValue(L"A", L"name", L"\u65e5"));  // not in the code page
    EXPECT_EQ("[A]\r\nname=?\r\n\r\n", Written());
}

// Bytes written as pairs of hexadecimal digits; blanks are for reading only.
std::string FromHex(const char* hex) {
    std::string bytes;
    for (const char* p = hex; *p; ++p) {
        if (*p == ' ') continue;
        bytes += static_cast<char>(strtol(std::string(p, 2).c_str(), nullptr, 16));
        ++p;
    }
    return bytes;
}

// The bytes as hexadecimal digits, so that a failed comparison shows where they differ.
std::string ToHex(const std::string& bytes) {
    std::string hex;
    for (unsigned char c : bytes) {
        hex += "0123456789ABCDEF"[c >> 4];
        hex += "0123456789ABCDEF"[c & 15];
    }
    return hex;
}

// A file with a byte-order mark is read in its encoding (the first line is a header again)
// and written back in it, mark first; without a mark it is the ANSI code page as before.
TEST_F(IniDocumentTest, ByteOrderMarkKeepsTheFilesEncoding) {
    const struct {
        const char* encoding;
        const char* before;  // [A] k=1 n=<text>, no blank line at the end
        const char* after;   // the same with k=2, and the blank line after the section
        const wchar_t* text;
    } cases[] = {
        {"UTF-8",
         "EFBBBF 5B415D0D0A 6B3D310D0A 6E3DC3A9E697A50D0A",
         "EFBBBF 5B415D0D0A 6B3D320D0A 6E3DC3A9E697A50D0A 0D0A", L"\u00e9\u65e5"},
        {"UTF-16LE",
         "FFFE 5B0041005D000D000A00 6B003D0031000D000A00 6E003D00E900E5650D000A00",
         "FFFE 5B0041005D000D000A00 6B003D0032000D000A00 6E003D00E900E5650D000A00 0D000A00", L"\u00e9\u65e5"},
        {"UTF-16BE",
         "FEFF 005B0041005D000D000A 006B003D0031000D000A 006E003D00E965E5000D000A",
         "FEFF 005B0041005D000D000A 006B003D0032000D000A 006E003D00E965E5000D000A 000D000A", L"\u00e9\u65e5"},
        {"ANSI", "5B415D0D0A 6B3D310D0A 6E3DE90D0A", "5B415D0D0A 6B3D320D0A 6E3DE90D0A 0D0A", L"\u00e9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoding);
        ASSERT_EQ(1, Load(FromHex(c.before)));
        EXPECT_EQ(1, FindIniSection(L"A"));
        EXPECT_EQ(1, GetIniInt(L"A", L"k", 0));
        ASSERT_EQ(1, FindIniEntry(1, L"n"));
        EXPECT_STREQ(c.text, iniDocument.sections[1].entries[1].value);
        EXPECT_EQ(1, SetIniValue(L"A", L"k", L"2"));
        EXPECT_EQ(ToHex(FromHex(c.after)), ToHex(Written()));
    }
}

// Unicode text ends where ANSI text ends: at the first NUL, here a NUL unit. An odd last byte
// of a UTF-16 file is no whole unit and is dropped; a mark alone is an empty document written
// back as the mark alone; what is not a whole mark is ANSI text, and ANSI text is never
// written so that it starts with a mark.
TEST_F(IniDocumentTest, UnicodeFilesEndLikeAnsiFiles) {
    const struct {
        const char* file;
        const char* rewritten;
    } cases[] = {
        {"EFBBBF", "EFBBBF"},
        {"FFFE", "FFFE"},
        {"FEFF", "FEFF"},
        {"FFFE 6B003D0031000000 6A003D003200", "FFFE 6B003D0031000D000A00 0D000A00"},  // k=1 NUL j=2
        {"FEFF 006B003D00310000 006A003D0032", "FEFF 006B003D0031000D000A 000D000A"},
        {"EFBBBF 6B3D3100 6A3D32", "EFBBBF 6B3D310D0A 0D0A"},
        {"FFFE 6B003D003100 41", "FFFE 6B003D0031000D000A00 0D000A00"},  // k=1 and a lone byte
        {"FEFF 006B003D0031 00", "FEFF 006B003D0031000D000A 000D000A"},
        {"FFFE 6B003D00 41DC 00D8", "FFFE 6B003D00 41DC 00D8 0D000A00 0D000A00"},  // unpaired surrogates
        {"FF", "FF3D0D0A 0D0A"},  // the ANSI character U+00FF alone: a key
        {"EFBB", "EFBB3D0D0A 0D0A"},
        // ANSI keys that would be written as a mark get a blank in front, trimmed when read.
        {"0D0A FFFE6B3D31", "20 FFFE6B3D310D0A 0D0A"},
        {"0A FEFF6B", "20 FEFF6B3D0D0A 0D0A"},
        {"0A0A EFBBBF6B3D31", "20 EFBBBF6B3D310D0A 0D0A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::string rewritten = FromHex(c.rewritten);
        EXPECT_EQ(ToHex(rewritten), ToHex(Rewrite(FromHex(c.file))));
        EXPECT_EQ(ToHex(rewritten), ToHex(Rewrite(rewritten)));  // and stays so
    }
}

class IniSaveTest : public IniDocumentTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(IniDocumentTest::SetUp());
        target = scratch.File(L"GameOption.ini");
        EXPECT_TRUE(WriteBytes(target, "[OLD]\r\nkept=1\r\n"));
        ASSERT_EQ(1, SetIniValue(L"NEW", L"k", L"2"));
    }
    void ExpectOnlyTheOldFile() {
        EXPECT_EQ("[OLD]\r\nkept=1\r\n", FileText(target));
        std::vector<std::wstring> files = scratch.Files();
        ASSERT_EQ(1u, files.size());
        EXPECT_EQ(L"GameOption.ini", files[0]);
    }
    std::wstring target;
};

TEST_F(IniSaveTest, ReplacesTheFileAndLeavesNothingElse) {
    EXPECT_EQ(1, WriteIniDocument(target.c_str()));
    EXPECT_EQ("[NEW]\r\nk=2\r\n\r\n", FileText(target));
    std::vector<std::wstring> files = scratch.Files();
    EXPECT_EQ(1u, files.size());
}

// The file's owner and access list in security descriptor text, or "<unreadable>".
std::wstring SecurityOf(const std::wstring& path) {
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD buffer[1024];
    DWORD needed = 0;
    wchar_t* text = nullptr;
    if (!GetFileSecurityW(path.c_str(), parts, buffer, sizeof(buffer), &needed) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorW(buffer, SDDL_REVISION_1, parts, &text, nullptr)) {
        return L"<unreadable>";
    }
    std::wstring result = text;
    LocalFree(text);
    return result;
}

bool SetAccess(const std::wstring& path, const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &security, nullptr))
        return false;
    BOOL set = SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, security);
    LocalFree(security);
    return set != FALSE;
}

// The replaced file is the player's file still: hidden or system as it was, and readable and
// writable by the same accounts (under Wine the access list stands for the Unix mode bits).
TEST_F(IniSaveTest, ReplacedFileKeepsAttributesAndAccess) {
    std::wstring security = SecurityOf(target);
    std::wstring owner = security.substr(0, security.find(L"D:"));
    ASSERT_EQ(0u, owner.find(L"O:"));
    std::wstring account = owner.substr(2);
    const struct {
        DWORD attributes;
        std::wstring access;
    } cases[] = {
        {FILE_ATTRIBUTE_HIDDEN, L"D:(A;;FA;;;SY)(A;;FA;;;" + account + L")"},  // nobody else reads it
        {FILE_ATTRIBUTE_SYSTEM, L"D:(A;;FA;;;SY)(A;;FA;;;" + account + L")(A;;FA;;;WD)"},  // everyone writes it
        {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE,
         L"D:(A;;FA;;;SY)(A;;FA;;;" + account + L")"},
    };
    for (const auto& c : cases) {
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(WriteBytes(target, "[OLD]\r\nkept=1\r\n"));
        ASSERT_TRUE(SetAccess(target, c.access));
        ASSERT_TRUE(SetFileAttributesW(target.c_str(), c.attributes));
        DWORD attributes = GetFileAttributesW(target.c_str());
        std::wstring before = SecurityOf(target);
        ASSERT_NE(security, before) << "the case must differ from what a new file gets";

        EXPECT_EQ(1, WriteIniDocument(target.c_str()));
        EXPECT_EQ("[NEW]\r\nk=2\r\n\r\n", FileText(target));
        EXPECT_EQ(attributes, GetFileAttributesW(target.c_str())) << std::hex << c.attributes;
        EXPECT_EQ(before, SecurityOf(target));
        EXPECT_EQ(1u, scratch.Files().size());
    }
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The text goes to a new file that then takes the name: the old file is never cut short, so a
// second name (hard link) of it still holds the old text whole.
TEST_F(IniSaveTest, NewFileTakesTheNameInsteadOfRewritingTheOld) {
    std::wstring secondName = scratch.File(L"link.ini");
    ASSERT_TRUE(CreateHardLinkW(secondName.c_str(), target.c_str(), nullptr));
    EXPECT_EQ(1, WriteIniDocument(target.c_str()));
    EXPECT_EQ("[NEW]\r\nk=2\r\n\r\n", FileText(target));
    EXPECT_EQ("[OLD]\r\nkept=1\r\n", FileText(secondName));
}

TEST_F(IniSaveTest, ReadOnlyFileIsNotReplaced) {
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, WriteIniDocument(target.c_str()));
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectOnlyTheOldFile();
}

TEST_F(IniSaveTest, FileHeldOpenIsNotReplaced) {
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, WriteIniDocument(target.c_str()));
    CloseHandle(held);
    ExpectOnlyTheOldFile();
}

TEST_F(IniSaveTest, MissingDirectoryOrNoPathFails) {
    EXPECT_EQ(0, WriteIniDocument(scratch.File(L"absent\\GameOption.ini").c_str()));
    EXPECT_EQ(0, WriteIniDocument(L""));
    EXPECT_EQ(0, WriteIniDocument(nullptr));
    EXPECT_EQ(0, WriteIniDocument(scratch.File(L"").c_str()));  // the directory itself
    ExpectOnlyTheOldFile();
}

}  // namespace
