// Random and damaged GameOption.ini files: loading, saving and reloading them must neither crash
// nor change what the tool reads, and a rewritten file must be stable.
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <random>

#include "allocation_fake.h"
#include "options_text.h"
#include "process_records.h"
#include "shared/test_support.h"

namespace {

const int32_t kAbsent = -1234567;

struct Values {
    int32_t value[14];
    bool operator==(const Values& other) const { return memcmp(value, other.value, sizeof(value)) == 0; }
};

Values ReadValues() {
    Values values;
    for (int i = 0; i < 14; ++i) values.value[i] = GetIniInt(kOptionKeys[i].section, kOptionKeys[i].key, kAbsent);
    return values;
}

Values FromRecord(const OptionsRecord& record) {
    Values values;
    memcpy(values.value, &record, sizeof(values.value));
    return values;
}

std::string Show(const Values& values) {
    std::string text;
    for (int v : values.value) text += std::to_string(v) + " ";
    return text;
}

// Written text: CR LF lines only, no NUL, and empty or ending in a blank line.
template <typename Text>
bool WellFormed(const Text& text) {
    size_t size = text.size();
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == 0) return false;
        if (text[i] == '\r' && (i + 1 >= size || text[i + 1] != '\n')) return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return size == 0 || (size >= 4 && text[size - 4] == '\r' && text[size - 3] == '\n' && text[size - 2] == '\r');
}

// What loading the bytes gives: the ANSI code page, up to the first NUL byte.
std::wstring FromAnsi(const std::string& bytes) {
    std::string terminated = bytes.c_str();
    if (terminated.empty()) return std::wstring();
    int units = MultiByteToWideChar(CP_ACP, 0, terminated.data(), static_cast<int>(terminated.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, terminated.data(), static_cast<int>(terminated.size()), &text[0], units);
    return text;
}

// The marks of the encodings, by IniEncoding; ANSI files have none.
const char* const kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
const int32_t kEncodings[] = {kIniAnsi, kIniUtf8, kIniUtf16Le, kIniUtf16Be};

int32_t EncodingOf(const std::string& file) {
    for (int32_t encoding : {kIniUtf8, kIniUtf16Le, kIniUtf16Be}) {
        if (file.compare(0, strlen(kMarks[encoding]), kMarks[encoding]) == 0) return encoding;
    }
    return kIniAnsi;
}

// A saved file is well formed in its encoding: UTF-16 in whole units after its mark.
bool WellFormedFile(const std::string& file) {
    int32_t encoding = EncodingOf(file);
    std::string body = file.substr(strlen(kMarks[encoding]));
    if (encoding != kIniUtf16Le && encoding != kIniUtf16Be) return WellFormed(body);
    if (body.size() % 2) return false;
    std::u16string units;
    for (size_t i = 0; i < body.size(); i += 2) {
        unsigned char first = static_cast<unsigned char>(body[i]), second = static_cast<unsigned char>(body[i + 1]);
        units += static_cast<char16_t>(encoding == kIniUtf16Be ? first << 8 | second : second << 8 | first);
    }
    return WellFormed(units);
}

std::wstring Rendered() {
    size_t length = 0;
    wchar_t* text = RenderIniDocument(&length);
    if (!text) return L"<none>";
    std::wstring copy(text, length);
    free(text);
    return copy;
}

class TextMaker {
public:
    explicit TextMaker(uint32_t seed) : random_(seed) {}

    int Below(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

    std::string Bytes(size_t count) {
        static const char kSpecial[] = "[]=#; \t\r\n\"-+0123456789";
        std::string bytes;
        for (size_t i = 0; i < count; ++i) {
            if (Chance(35)) {
                bytes += kSpecial[Below(sizeof(kSpecial) - 1)];
            } else {
                char c = static_cast<char>(Below(256));
                bytes += (c == 0 && !Chance(10)) ? 'x' : c;
            }
        }
        return bytes;
    }

    std::string Blanks() {
        static const char* const kBlanks[] = {"", "", "", " ", "\t", "  \t ", " \t"};
        return kBlanks[Below(7)];
    }

    std::string Name(bool section) {
        static const char* const kSectionNames[] = {"DISPLAY", "SYSTEM", "INPUT", "SOUND", "VOLUME", "JOYSTICK", "DIR"};
        static const char* const kKeyNames[] = {"mode", "width", "height", "cursor", "smoke", "vectorcamera",
                                                "antialias", "anisotropy", "smokebutton", "bgm", "plane",
                                                "cockpit", "voice", "id", "work"};
        std::string name;
        int kind = Below(10);
        if (kind < 7) {
            name = section ? kSectionNames[Below(7)] : kKeyNames[Below(15)];
            for (char& c : name) {
                if (Chance(15)) c = static_cast<char>(c >= 'a' ? c - 32 : c + 32);
            }
            if (Chance(5)) name.insert(static_cast<size_t>(Below(static_cast<int>(name.size()))), " ");
        } else if (kind < 9) {
            name = Bytes(static_cast<size_t>(1 + Below(12)));
        } else {
            name = std::string(static_cast<size_t>(250 + Below(20)), 'n');
            if (Chance(50)) name = (section ? "SOUND" : "mode") + std::string(static_cast<size_t>(Below(300)), ' ') + "z";
        }
        return Blanks() + name + Blanks();
    }

    std::string Value() {
        switch (Below(9)) {
            case 0: return std::to_string(Below(500));
            case 1: return std::to_string(static_cast<int64_t>(random_()) - 2147483648LL);
            case 2: return std::to_string(static_cast<int64_t>(random_()) * 100000LL);
            case 3: return Blanks() + "\"" + std::to_string(Below(3000) - 1000) + (Chance(50) ? "\"" : "") + Blanks();
            case 4: return "";
            case 5: return "-" + std::to_string(Below(2000));
            case 6: return Bytes(static_cast<size_t>(Below(20)));
            case 7: return std::to_string(Below(5)) + "=" + std::to_string(Below(5));
            default: return std::string(static_cast<size_t>(Below(600)), '9');
        }
    }

    std::string Line() {
        switch (Below(16)) {
            case 0: case 1: case 2: return "[" + Name(true) + "]";
            case 3: return "[" + Name(true) + "]" + (Chance(50) ? " " : "x");
            case 4: return Chance(50) ? "[]" : "[ \t]";
            case 5: return "#" + Bytes(static_cast<size_t>(Below(30)));
            case 6: return ";" + Name(false) + "=" + Value();
            case 7: return Blanks() + "[" + Name(false) + "]" + "=" + Value() + (Chance(50) ? "]" : "");
            case 8: return Blanks() + "#" + Name(false) + "=" + Value();
            case 9: return Name(false);
            case 10: return "";
            default: return Name(false) + "=" + Value();
        }
    }

    std::string Structured(int lines) {
        static const char* const kEnds[] = {"\r\n", "\r\n", "\n", "\r", "\n\n", "\r\r\n", "\r\n\r\n"};
        std::string text = Chance(5) ? "\xEF\xBB\xBF" : "";
        for (int i = 0; i < lines; ++i) text += Line() + kEnds[Below(7)];
        if (Chance(30) && !text.empty()) text.pop_back();
        return text;
    }

    std::string Mutated(std::string text) {
        int edits = 1 + Below(8);
        for (int e = 0; e < edits; ++e) {
            size_t at = text.empty() ? 0 : static_cast<size_t>(Below(static_cast<int>(text.size())));
            switch (Below(6)) {
                case 0: if (!text.empty()) text[at] = static_cast<char>(Below(256)); break;
                case 1: text.insert(at, Bytes(static_cast<size_t>(1 + Below(6)))); break;
                case 2: text.erase(at, static_cast<size_t>(Below(40))); break;
                case 3: text.insert(at, text.substr(at, static_cast<size_t>(Below(80)))); break;
                case 4: text.insert(at, std::string(1, "[]=#\r\n \t"[Below(8)])); break;
                default: text.insert(at, "\r\n[" + Name(true) + "]\r\n"); break;
            }
        }
        return text;
    }

    // The text as a file in the encoding, with its mark. Bytes above 0x7F become assorted
    // units (Latin, CJK, unpaired surrogates) or, in UTF-8, stay as they are half of the time,
    // which is mostly not well formed; a UTF-16 file may end in an odd byte.
    std::string InEncoding(const std::string& text, int32_t encoding) {
        if (encoding == kIniAnsi) return text;
        std::string file = kMarks[encoding];
        if (encoding == kIniUtf8 && Chance(50)) return file + text;
        std::wstring units;
        for (unsigned char c : text) {
            if (c < 0x80) {
                units += static_cast<wchar_t>(c);
            } else {
                static const wchar_t kBases[] = {0x100, 0x4e00, 0xd800, 0xdc00, 0xfe00};
                units += static_cast<wchar_t>(kBases[Below(5)] + c);
            }
        }
        if (encoding == kIniUtf8) return Encoded(units, encoding);
        file = Encoded(units, encoding);
        if (Chance(20)) file += static_cast<char>(Below(256));
        return file;
    }

    std::mt19937& Random() { return random_; }

private:
    std::mt19937 random_;
};

std::vector<std::string> HugeTexts() {
    std::vector<std::string> texts;
    std::string line(1 << 20, 'w');  // one line of a megabyte, no line end
    for (size_t i = 0; i < line.size(); i += 97) line[i] = static_cast<char>('0' + i % 10);
    texts.push_back("[DISPLAY]\r\nwidth=" + line);
    texts.push_back("[SOUND]\r\nmode=" + std::string(500000, '9') + "\r\n");
    std::string sections;
    for (int i = 0; i < 5000; ++i) {
        sections += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
        if (i % 1000 == 999) sections += "[VOLUME]\r\nbgm=" + std::to_string(i % 101) + "\r\n";
    }
    texts.push_back(sections + kTypicalOptionsFile);
    std::string keys = "[DISPLAY]\r\n";
    for (int i = 0; i < 20000; ++i) keys += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    texts.push_back(keys + "width=640\n");
    texts.push_back(std::string(300000, '\n') + kTypicalOptionsFile + std::string(300000, '\r'));
    std::string brackets;
    for (int i = 0; i < 50000; ++i) brackets += "[\r\n";
    texts.push_back(kTypicalOptionsFile + brackets + "voice=3\r\n");
    texts.push_back(std::string(kTypicalOptionsFile) + std::string(1 << 18, '\0') + "[DISPLAY]\r\nmode=2\r\n");
    return texts;
}

class IniRobustnessTest : public RecordsTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Made());
        SetDirectories(directory, directory);
        options = directory + L"GameOption.ini";
        second = directory + L"second.ini";
        third = directory + L"third.ini";
        FreeIniDocument();
    }
    void TearDown() override {
        FreeIniDocument();
    }

    // Load, save and reload through the file as the tool does; then rewrite the saved file
    // twice: the second rewrite must give the same bytes as the first.
    void FileRoundTrip(const std::string& text, int index) {
        SCOPED_TRACE("file case " + std::to_string(index) + " of " + std::to_string(text.size()) + " bytes");
        EXPECT_TRUE(WriteBytes(options, text));
        LoadGameOptions();
        Values loaded = FromRecord(gameOptions);
        ASSERT_EQ(1, SaveGameOptions());
        std::string saved = FileText(options);
        ASSERT_EQ(EncodingOf(text), EncodingOf(saved));
        ASSERT_TRUE(WellFormedFile(saved));
        ASSERT_EQ(1, LoadIniDocument(options.c_str()));
        ASSERT_EQ(loaded, ReadValues()) << Show(loaded) << "\n" << Show(ReadValues());
        ASSERT_EQ(1, WriteIniDocument(second.c_str()));
        ASSERT_EQ(1, LoadIniDocument(second.c_str()));
        ASSERT_EQ(loaded, ReadValues());
        ASSERT_EQ(1, WriteIniDocument(third.c_str()));
        FreeIniDocument();
        ASSERT_EQ(FileText(second), FileText(third));
    }

    // The same in memory, for many more texts: the values read (or missing) are set back, and
    // the document must read the same after it is written and parsed again.
    void MemoryRoundTrip(const std::string& bytes, int index) {
        SCOPED_TRACE("case " + std::to_string(index) + " of " + std::to_string(bytes.size()) + " bytes");
        ASSERT_EQ(1, ParseIniText(FromAnsi(bytes).c_str()));
        Values loaded = ReadValues();
        for (int i = 0; i < 14; ++i) {
            ASSERT_EQ(1, SetIniValue(kOptionKeys[i].section, kOptionKeys[i].key, std::to_wstring(loaded.value[i]).c_str()));
        }
        std::wstring once = Rendered();
        ASSERT_TRUE(WellFormed(once));
        ASSERT_EQ(1, ParseIniText(once.c_str()));
        ASSERT_EQ(loaded, ReadValues()) << Show(loaded) << "\n" << Show(ReadValues());
        std::wstring twice = Rendered();
        ASSERT_EQ(1, ParseIniText(twice.c_str()));
        ASSERT_EQ(loaded, ReadValues());
        ASSERT_EQ(twice, Rendered());
        FreeIniDocument();
    }

    // Random changes through the engine's own calls; after one rewrite the text is stable.
    void RandomEdits(const std::string& bytes, TextMaker& maker) {
        ASSERT_EQ(1, ParseIniText(FromAnsi(bytes).c_str()));
        for (int op = 0; op < 30; ++op) {
            std::wstring section = Wide(maker.Name(true));
            std::wstring key = Wide(maker.Name(false));
            std::wstring value = Wide(maker.Value());
            switch (maker.Below(8)) {
                case 0: SetIniValue(section.c_str(), nullptr, nullptr); break;
                case 1: SetIniValue(section.c_str(), key.c_str(), nullptr); break;
                case 2: AddIniSection(section.c_str()); break;
                case 3:
                    AddIniEntry(maker.Below(iniDocument.sectionCount + 2) - 1, key.c_str(), value.c_str(),
                                maker.Below(2));
                    break;
                default: SetIniValue(section.c_str(), key.c_str(), value.c_str()); break;
            }
            GetIniInt(section.c_str(), key.c_str(), 0);
        }
        std::wstring edited = Rendered();
        ASSERT_TRUE(WellFormed(edited));
        ASSERT_EQ(1, ParseIniText(edited.c_str()));
        std::wstring once = Rendered();
        ASSERT_EQ(1, ParseIniText(once.c_str()));
        ASSERT_EQ(once, Rendered());
        FreeIniDocument();
    }

    // Names and values made for the calls: no line ends, which a value set verbatim would split.
    static std::wstring Wide(const std::string& bytes) {
        std::wstring text;
        for (unsigned char c : bytes) {
            if (c != 0 && c != '\r' && c != '\n') text += static_cast<wchar_t>(c < 0x80 ? c : 0x100 + c);
        }
        return text;
    }

    ScratchDirectory scratch{L"fuzz"};
    const std::wstring directory = scratch.Path();
    std::wstring options, second, third;
};

TEST_F(IniRobustnessTest, RandomAndDamagedTextsRoundTrip) {
    TextMaker maker(0x5eed1234u);
    int index = 0;
    for (int i = 0; i < 2500; ++i) {
        MemoryRoundTrip(maker.Structured(maker.Below(40)), index++);
        if (HasFatalFailure()) return;
    }
    for (int i = 0; i < 2000; ++i) {
        MemoryRoundTrip(maker.Mutated(i % 2 ? kTypicalOptionsFile : maker.Structured(20)), index++);
        if (HasFatalFailure()) return;
    }
    for (int i = 0; i < 1500; ++i) {
        MemoryRoundTrip(maker.Bytes(static_cast<size_t>(maker.Below(i % 50 ? 400 : 20000))), index++);
        if (HasFatalFailure()) return;
    }
    for (int i = 0; i < 1500; ++i) {
        RandomEdits(i % 3 ? maker.Structured(maker.Below(30)) : maker.Bytes(300), maker);
        if (HasFatalFailure()) return;
    }
}

TEST_F(IniRobustnessTest, RandomDamagedAndHugeFilesRoundTrip) {
    TextMaker maker(0xf11e5u);
    int index = 0;
    for (int i = 0; i < 480; ++i) {
        std::string text = i % 3 == 0 ? maker.Structured(maker.Below(40))
                         : i % 3 == 1 ? maker.Mutated(kTypicalOptionsFile)
                                      : maker.Bytes(static_cast<size_t>(maker.Below(600)));
        FileRoundTrip(maker.InEncoding(text, kEncodings[i % 4]), index++);
        if (HasFatalFailure()) return;
    }
    std::vector<std::string> huge = HugeTexts();
    for (size_t i = 0; i < huge.size(); ++i) {
        FileRoundTrip(huge[i], index++);
        if (HasFatalFailure()) return;
        // The typical file after a NUL, and 20,000 keys, in each Unicode encoding as well.
        if (huge[i].find("key19999=") != std::string::npos || huge[i].find('\0') != std::string::npos) {
            for (int32_t encoding : {kIniUtf8, kIniUtf16Le, kIniUtf16Be}) {
                FileRoundTrip(maker.InEncoding(huge[i], encoding), index++);
                if (HasFatalFailure()) return;
            }
        }
    }
    // Nothing but the three files: every save cleaned up after itself.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((directory + L"*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    int files = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(3, files);
}

// A damaged file costs allocations in proportion to its size, counted through the engine's
// allocator: four times the text takes at most five times the allocations and ten times the
// bytes (doubled arrays come out between two and eight times; a quadratic pattern, sixteen).
TEST_F(IniRobustnessTest, LargeDamagedFileCostsInProportionToItsSize) {
    TextMaker maker(77);
    std::string text;
    size_t counts[2] = {};
    uint64_t bytes[2] = {};
    for (int run = 0; run < 2; ++run) {
        while (text.size() < (run ? 4u << 20 : 1u << 20)) text += maker.Structured(1000);
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());  // a NUL ends the text
        ASSERT_TRUE(WriteBytes(options, text));
        FreeIniDocument();
        UseAllocationFake();
        LoadGameOptions();
        EXPECT_EQ(1, SaveGameOptions());
        iniAllocate = malloc;
        counts[run] = allocationFake.count;
        bytes[run] = allocationFake.bytes;
    }
    EXPECT_LE(counts[1], 5 * counts[0]) << counts[0] << " then " << counts[1] << " allocations";
    EXPECT_LE(bytes[1], 10 * bytes[0]) << bytes[0] << " then " << bytes[1] << " bytes";
}

}  // namespace
