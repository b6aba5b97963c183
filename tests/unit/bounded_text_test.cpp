// The bounded format: cut at the capacity, always terminated, nothing written past it; and
// paths, joined whole or not at all.
#include <gtest/gtest.h>

#include <string>

#include "entry/bounded_text.h"

TEST(BoundedText, FormatCutsAtTheCapacity) {
    const struct {
        int capacity;
        const wchar_t* wide;
        const char* bytes;
    } cases[] = {
        {1, L"", ""},
        {2, L"D", "2"},
        {9, L"DirectX ", "2004 12/"},
        {20, L"DirectX 65535.65535", "2004 12/31 23:59\n\n"},
        {32, L"DirectX 65535.65535", "2004 12/31 23:59\n\n"},
    };
    for (const auto& c : cases) {
        wchar_t wide[40];
        char bytes[40];
        for (int i = 0; i < 40; ++i) {
            wide[i] = L'#';
            bytes[i] = '#';
        }
        FormatBounded(wide, c.capacity, L"DirectX %d.%d", 65535, 65535);
        FormatBounded(bytes, c.capacity, "%d %d/%d %d:%d\n\n", 2004, 12, 31, 23, 59);
        EXPECT_EQ(std::wstring(c.wide), wide) << c.capacity;
        EXPECT_EQ(std::string(c.bytes), bytes) << c.capacity;
        for (int i = c.capacity; i < 40; ++i) {
            EXPECT_EQ(L'#', wide[i]) << c.capacity << " at " << i;
            EXPECT_EQ('#', bytes[i]) << c.capacity << " at " << i;
        }
    }
}

TEST(BoundedText, PathsAreJoinedWholeOrNotAtAll) {
    const struct {
        int capacity;
        const wchar_t* directory;
        const wchar_t* name;
        int joined;
        const wchar_t* path;
    } cases[] = {
        {18, L"C:\\Games\\", L"vidq.dll", 1, L"C:\\Games\\vidq.dll"},  // 17 units and the terminator
        {17, L"C:\\Games\\", L"vidq.dll", 0, L""},
        {40, L"", L"vidq.dll", 0, L""},  // never through the current directory
        {40, nullptr, L"vidq.dll", 0, L""},
        {40, L"wgpoc:", L"mail_support.html", 1, L"wgpoc:mail_support.html"},
    };
    for (const auto& c : cases) {
        wchar_t path[40];
        for (wchar_t& unit : path) unit = L'#';
        EXPECT_EQ(c.joined, JoinPath(path, c.capacity, c.directory, c.name)) << c.capacity;
        EXPECT_EQ(std::wstring(c.path), path) << c.capacity;
    }
}
