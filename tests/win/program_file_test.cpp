// The built program file: no plain text of the fixed-text table is in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/texts/text_table.h"

namespace {

struct PlainText {
    const char* name;
    std::string text;
};

// Texts this short occur by chance in any program (a month name in the run time, "Exit"
// in an import name, a separator); they are still stored encoded, but a scan cannot tell.
constexpr std::size_t kShortestScannedText = 6;

// The button's type name is also the name the window's form description and the control
// registry know the class by, so it is in the program as design-time data too.
bool IsAlsoDesignTimeData(const std::string& name) { return name == "ButtonTypeName"; }

std::vector<PlainText> ScannedTexts() {
    std::vector<PlainText> all;
#define ORB_COLLECT_TEXT(name, plain, length) all.push_back({#name, plain});
    ORB_TEXT_TABLE(ORB_COLLECT_TEXT)
#undef ORB_COLLECT_TEXT
    std::vector<PlainText> scanned;
    for (auto& t : all) {
        if (t.text.size() >= kShortestScannedText && !IsAlsoDesignTimeData(t.name)) scanned.push_back(t);
    }
    return scanned;
}

std::string Utf16(const std::string& ansi) {
    std::string wide;
    for (char c : ansi) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ExpectNoPlainText(const char* path) {
    const std::string bytes = ReadFile(path);
    ASSERT_GT(bytes.size(), 1024u) << "cannot read " << path;
    const auto texts = ScannedTexts();
    ASSERT_GT(texts.size(), 10u);
    for (const auto& t : texts) {
        EXPECT_EQ(bytes.find(t.text), std::string::npos) << t.name << " in ANSI in " << path;
        EXPECT_EQ(bytes.find(Utf16(t.text)), std::string::npos) << t.name << " in UTF-16 in " << path;
    }
}

TEST(ProgramFile, HoldsNoPlainTextOfTheTable) { ExpectNoPlainText(ORB_PROGRAM_FILE); }

TEST(ProgramFile, ProductHoldsNoPlainTextOfTheTable) {
    if (GetFileAttributesA(ORB_PRODUCT_FILE) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "the 32-bit product is not built in this tree";
    }
    ExpectNoPlainText(ORB_PRODUCT_FILE);
}

}  // namespace
