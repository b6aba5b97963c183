// The bounded format: cut at the capacity, always terminated, nothing written past it.
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
