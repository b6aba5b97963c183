#include <gtest/gtest.h>
#include <windows.h>

#include "entry/install_paths.h"

int main(int argc, char** argv) {
    // The string tables are linked into this program.
    moduleHandle = GetModuleHandleW(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
