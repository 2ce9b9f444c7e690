// Entry of the Windows test executable. Tests that need the program's module handle get it
// from GetModuleHandle(nullptr); nothing here opens a window.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
