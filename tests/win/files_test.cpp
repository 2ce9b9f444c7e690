// The desktop folder and the installer file on disk.
#include "app/installer/files.h"
#include "app/installer/install_rules.h"
#include "install_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

std::string Contents(const std::wstring& path) { return wintest::FileBytes(path); }

TEST(GetSpecialFolderPath, DesktopResolvesToAnExistingFolder) {
    std::wstring desktop;
    ASSERT_TRUE(modMain::GetSpecialFolderPath(nullptr, 0, desktop));
    EXPECT_NE(GetFileAttributesW(desktop.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(WriteDataFile, WritesEveryByteAndReplacesAnOldFile) {
    const std::wstring path = TempPath(L"orb-write-test.bin");
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(path, std::string(70000, 'x'), written, false, error));
    const std::string data("MZ\0\x01payload", 11);
    ASSERT_TRUE(modMain::WriteDataFile(path, data, written, false, error));
    EXPECT_EQ(written, data.size());
    EXPECT_EQ(Contents(path), data);
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    DeleteFileW(path.c_str());
}

TEST(WriteDataFile, FolderThatDoesNotExistWritesNothing) {
    std::uint32_t written = 7, error = 0;
    EXPECT_FALSE(modMain::WriteDataFile(TempPath(L"no-such-folder\\x.exe"), "data", written, false, error));
    EXPECT_EQ(written, 0u);
    EXPECT_NE(error, 0u);
}

TEST(KillFile, DeletesReadOnlyFilesAndReportsAbsentOnes) {
    const std::wstring path = TempPath(L"orb-kill-test.bin");
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(path, "old", written, false, error));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(modMain::KillFile(path));
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(modMain::KillFile(path));
}



// ---- the installer file a download is written to ----

namespace installer_file {

const std::wstring kFolderName = L"orb-installer-file-\u0416\u684C";  // Cyrillic and Chinese
constexpr const char* kName = "OrbFileTest.exe";

struct InstallerFileTest : testing::Test {
    std::wstring folder = TempPath(kFolderName.c_str());
    std::string name = kName;
    std::wstring Final() const { return folder + L"\\" + std::wstring(name.begin(), name.end()); }
    std::wstring Part() const { return Final() + L".partial"; }
    modMain::InstallerFile Make() {
        return modMain::InstallerFile([this](std::wstring& f) { f = folder; return true; }, name);
    }
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS); }
    void TearDown() override {
        modMain::KillFile(Part());
        modMain::KillFile(Final());
        RemoveDirectoryW(folder.c_str());
    }
    bool Exists(const std::wstring& path) const { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(InstallerFileTest, GrowsHiddenBesideItsNameAndIsRenamedAndHeldWhenWhole) {
    auto file = Make();
    ASSERT_TRUE(file.Append("MZ first piece "));
    ASSERT_TRUE(Exists(Part()));
    EXPECT_NE(GetFileAttributesW(Part().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    // While it grows, others may read it but not write, rename or delete it.
    HANDLE growing = CreateFileW(Part().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(growing, INVALID_HANDLE_VALUE);
    if (growing != INVALID_HANDLE_VALUE) CloseHandle(growing);
    EXPECT_FALSE(MoveFileW(Part().c_str(), (Part() + L".moved").c_str()));
    EXPECT_FALSE(Exists(Final())) << "nothing half-written carries the final name";
    // A resumed request answered with the whole entity starts the file again.
    ASSERT_TRUE(file.Restart());
    ASSERT_TRUE(file.Append("MZ whole "));
    ASSERT_TRUE(file.Append(std::string(70000, 'b')));
    EXPECT_EQ(file.Size(), 9u + 70000u);
    ASSERT_TRUE(file.Finish());
    EXPECT_FALSE(file.Failure());
    EXPECT_FALSE(Exists(Part()));
    EXPECT_EQ(file.Path(), Final());
    EXPECT_EQ(GetFileAttributesW(Final().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Contents(Final()), "MZ whole " + std::string(70000, 'b'));

    // Held: readers may read it, nobody may write, rename or delete it.
    HANDLE writer = CreateFileW(Final().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(MoveFileW(Final().c_str(), (Final() + L".moved").c_str()));
    EXPECT_FALSE(DeleteFileW(Final().c_str()));
    EXPECT_EQ(Contents(Final()).size(), 70009u);

    file.Started();
    EXPECT_TRUE(DeleteFileW(Final().c_str())) << "let go once the installer runs";
}

TEST_F(InstallerFileTest, WhatIsNotFinishedOrNotStartedLeavesNothingAndAnOldFileAsItWas) {
    std::uint32_t written = 0, error = 0;
    const struct {
        const char* name;
        bool finish;
        bool passes;  // what the caller's check says
    } cases[] = {{"cancelled while it arrives", false, false},
                 {"checked but not started", true, true},
                 {"refused by the caller's check", true, false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(modMain::WriteDataFile(Final(), "old installer", written, false, error));
        {
            auto file = Make();
            ASSERT_TRUE(file.Append(std::string(40000, 'n')));
            EXPECT_EQ(Contents(Final()), "old installer") << c.name << ": replaced before it was whole";
            if (c.finish) {
                std::wstring checkedPath;
                const bool finished = file.Finish([&](const std::wstring& path, HANDLE held) {
                    checkedPath = path;
                    EXPECT_NE(held, nullptr);
                    EXPECT_EQ(Contents(Final()), "old installer") << c.name << ": replaced before its check";
                    return c.passes;
                });
                EXPECT_EQ(finished, c.passes) << c.name;
                EXPECT_EQ(checkedPath, Part()) << c.name;
            }
        }
        EXPECT_FALSE(Exists(Part())) << c.name;
        if (c.finish && c.passes) {
            EXPECT_FALSE(Exists(Final())) << c.name << ": the new file, never started, stayed";
        } else {
            EXPECT_EQ(Contents(Final()), "old installer") << c.name;
        }
    }
}

TEST_F(InstallerFileTest, AnUnsafeNameCreatesNothingAndOnlyCounts) {
    for (const char* unsafe : {"", "..\\..\\evil.exe", "setup.txt"}) {
        name = unsafe;
        auto file = Make();
        EXPECT_TRUE(file.Append(std::string(30000, 'u')));
        EXPECT_EQ(file.Size(), 30000u);
        EXPECT_FALSE(file.Finish());
        EXPECT_FALSE(file.Failure()) << unsafe;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
        int entries = 0;
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (found.cFileName[0] != L'.') ++entries;
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        EXPECT_EQ(entries, 0) << unsafe;
    }
}

}  // namespace installer_file
}  // namespace
