// The desktop folder and the installer file on disk.
#include "app/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GetSpecialFolderPath, DesktopResolvesToAnExistingFolder) {
    std::string desktop;
    ASSERT_TRUE(modMain::GetSpecialFolderPath(nullptr, 0, desktop));
    EXPECT_NE(GetFileAttributesA(desktop.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << desktop;
}

TEST(WriteDataFile, WritesEveryByteAndReplacesAnOldFile) {
    const std::string path = TempPath("orb-write-test.bin");
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(path, std::string(70000, 'x'), written, false, error));
    const std::string data("MZ\0\x01payload", 11);
    ASSERT_TRUE(modMain::WriteDataFile(path, data, written, false, error));
    EXPECT_EQ(written, data.size());
    EXPECT_EQ(Contents(path), data);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    DeleteFileA(path.c_str());
}

TEST(WriteDataFile, FolderThatDoesNotExistWritesNothing) {
    std::uint32_t written = 7, error = 0;
    EXPECT_FALSE(modMain::WriteDataFile(TempPath("no-such-folder\\x.exe"), "data", written, false, error));
    EXPECT_EQ(written, 0u);
    EXPECT_NE(error, 0u);
}

TEST(KillFile, DeletesReadOnlyFilesAndReportsAbsentOnes) {
    const std::string path = TempPath("orb-kill-test.bin");
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(path, "old", written, false, error));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(modMain::KillFile(path));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(modMain::KillFile(path));
}

}  // namespace
