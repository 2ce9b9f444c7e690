// The text form of form descriptions: what it reads, the errors it reports with their
// lines, and load -> save -> load giving back every value; hostile input never crashes.
#include "host/form_description.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using host::I2;
using host::I4;
using host::UI1;

constexpr const char* kSample = R"(# The test form
[Form frmTest]
Caption = Str "Orb \"Vorex\" 2009\n\xE9"
Width = I4 4500
BackColor = I4 &H8000000F
Font = Font "MS Sans Serif" 8.25

[PictureBox picPP]
AutoRedraw = Bool True
FillStyle = I2 -1

[OptionButton optProLite(0) in picPP]
Value = Bool true
Font = Font "Arial" 9.75 Bold Italic Underline Strikethrough

[OptionButton optProLite(1) in picPP]
; a comment inside a block
Picture = Picture Icon Resource "#1"
Tile = Picture Bitmap File "C:\\pics\\a.bmp"
Mask = UI1 &HFF
Icon = Nothing
Light = Font "Arial" 8 Weight=300
)";

TEST(FormDescription, ReadsBlocksTypesNamesIndexesContainersAndValues) {
    const auto read = host::ReadFormDescription(kSample);
    ASSERT_TRUE(read.Ok()) << read.errors[0].line << ": " << read.errors[0].message;
    const auto& d = read.description;
    EXPECT_EQ(d.form.name, "frmTest");
    EXPECT_EQ(d.form.properties.ReadProperty<std::string>("caption", ""), "Orb \"Vorex\" 2009\n\xE9");
    EXPECT_EQ(d.form.properties.ReadProperty<I4>("BackColor", 0), static_cast<I4>(0x8000000F));
    EXPECT_EQ(d.form.properties.ReadProperty<host::Font>("Font", {}).Size(), 8.25);
    ASSERT_EQ(d.controls.size(), 3u);
    EXPECT_EQ(d.controls[0].typeName, "PictureBox");
    EXPECT_FALSE(d.controls[0].index.has_value());
    EXPECT_EQ(d.controls[0].properties.ReadProperty<I2>("FillStyle", 0), -1);
    EXPECT_EQ(d.controls[1].index, 0);
    EXPECT_EQ(d.controls[1].container, "picPP");
    const host::Font bold = d.controls[1].properties.ReadProperty<host::Font>("Font", {});
    EXPECT_TRUE(bold.Bold() && bold.Italic() && bold.Underline() && bold.Strikethrough());
    const auto& last = d.controls[2].properties;
    EXPECT_EQ(last.ReadProperty<host::PictureSource>("Picture", {}),
              (host::PictureSource{host::PictureSource::Kind::Icon, "#1", {}}));
    EXPECT_EQ(last.ReadProperty<host::PictureSource>("Tile", {}).file, "C:\\pics\\a.bmp");
    EXPECT_EQ(last.ReadProperty<UI1>("Mask", 0), 255);
    EXPECT_EQ(last.ReadProperty<host::Font>("Light", {}).Weight(), 300);
    EXPECT_TRUE(std::holds_alternative<host::NoObject>(*last.Find("Icon")));
}

TEST(FormDescription, LoadSaveLoadIsTheIdentity) {
    const auto first = host::ReadFormDescription(kSample);
    ASSERT_TRUE(first.Ok());
    const std::string saved = host::WriteFormDescription(first.description);
    const auto second = host::ReadFormDescription(saved);
    ASSERT_TRUE(second.Ok()) << saved;
    EXPECT_EQ(second.description, first.description);
    EXPECT_EQ(host::WriteFormDescription(second.description), saved);
}

TEST(FormDescription, EveryValueOfEveryTypeSurvivesWriting) {
    host::FormDescription d;
    d.form.typeName = "Form";
    d.form.name = "frmAll";
    auto& bag = d.form.properties;
    bag.Set("MinI2", I2{-32768});
    bag.Set("MaxI4", I4{2147483647});
    bag.Set("MinI4", I4{-2147483647 - 1});
    bag.Set("Byte", UI1{0});
    bag.Set("Flag", false);
    std::string allBytes;
    for (int c = 0; c < 256; ++c) allBytes += static_cast<char>(c);
    bag.Set("Bytes", allBytes);
    bag.Set("Empty", std::string());
    bag.Set("Size", host::Font("Tahoma", 0.1 + 0.2, false, true));
    bag.Set("NoPicture", host::PictureSource{});
    host::ControlDescription timer{"Timer", "tCheckEmail", 32767, "", {}, {}};
    timer.properties.Set("Interval", I4{500});
    d.controls.push_back(timer);
    const auto read = host::ReadFormDescription(host::WriteFormDescription(d));
    ASSERT_TRUE(read.Ok()) << read.errors[0].message;
    EXPECT_EQ(read.description, d);
}

TEST(FormDescription, WritingRefusesWhatTheTextCannotHold) {
    host::FormDescription d;
    d.form = {"Form", "frm Main", {}, "", {}, {}};
    EXPECT_THROW(host::WriteFormDescription(d), std::invalid_argument);
    d.form.name = "frmMain";
    d.controls.push_back({"Label", "lblA", {}, "picMissing", {}, {}});
    EXPECT_THROW(host::WriteFormDescription(d), std::invalid_argument);
    d.controls[0].container.clear();
    d.controls[0].properties.Set("Bad Key", true);
    EXPECT_THROW(host::WriteFormDescription(d), std::invalid_argument);
}

struct BadInput {
    const char* text;
    int line;
    const char* says;  // a part of the message
};

TEST(FormDescription, ErrorsNameTheirLine) {
    const BadInput cases[] = {
        {"Caption = Str \"x\"\n", 1, "outside any block"},
        {"[Label lblA]\n", 1, "first block"},
        {"[Form f]\nX = I2 32768\n", 2, "does not fit"},
        {"[Form f]\nX = UI1 256\n", 2, "does not fit"},
        {"[Form f]\nX = I2 &H10000\n", 2, "hexadecimal"},
        {"[Form f]\nX = I4 12abc\n", 2, "after the value"},
        {"[Form f]\nX = Str \"open\n", 2, "does not end"},
        {"[Form f]\nX = Str \"\\q\"\n", 2, "escape"},
        {"[Form f]\nX = Bool Yes\n", 2, "True or False"},
        {"[Form f]\nX = Font \"Arial\" 0\n", 2, "above 0"},
        {"[Form f]\nX = Font \"Arial\" 8 Heavy\n", 2, "font attribute"},
        {"[Form f]\nX = Picture Icon Web \"a\"\n", 2, "Resource or a File"},
        {"[Form f]\nX = Blob 1\n", 2, "unknown type"},
        {"[Form f]\nX I2 1\n", 2, "'='"},
        {"[Form f]\nX = I2 1\nx = I2 2\n", 3, "second value"},
        {"[Form f]\n[Label a]\n[Label a]\n", 3, "second control"},
        {"[Form f]\n[Label a in b]\n", 2, "container"},
        {"[Form f]\n[Form g]\n", 2, "second form"},
        {"[Form f]\n[Label a(x)]\n", 2, "number"},
        {"[Form f]\n[Label a] tail\n", 2, "after ']'"},
        {"", 0, "no form"},
    };
    for (const auto& c : cases) {
        const auto read = host::ReadFormDescription(c.text);
        ASSERT_FALSE(read.Ok()) << c.text;
        EXPECT_EQ(read.errors[0].line, c.line) << c.text;
        EXPECT_NE(read.errors[0].message.find(c.says), std::string::npos)
            << c.text << " gave: " << read.errors[0].message;
    }
}

TEST(FormDescription, ReadingKeepsWhatItCouldReadAndAcceptsWindowsLineEnds) {
    const auto read = host::ReadFormDescription("[Form f]\r\nA = I2 1\r\nB = I2 x\r\nC = Bool True\r\n");
    ASSERT_EQ(read.errors.size(), 1u);
    EXPECT_EQ(read.errors[0].line, 3);
    EXPECT_EQ(read.description.form.properties.Entries().size(), 2u);
}

TEST(FormDescription, HostileInputNeverCrashesAndWhatReadsWritesBack) {
    std::mt19937 random(20090402);
    const std::string pieces[] = {"[", "]", "Form", " f", "(", ")", "in", "=", "I2", "I4", "UI1",
                                  "Bool", "True", "Str", "\"", "\\", "\\x", "Font", "Picture",
                                  "Icon", "Resource", "&H", "-", "9", "8.25", "\n", "\r", " ",
                                  "#", "\xFF", std::string(1, '\0'), "Weight=", "Nothing", "a"};
    const std::string base = kSample;
    for (int round = 0; round < 3000; ++round) {
        std::string text = base;
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0: text.erase(at, 1 + random() % 8); break;
            case 1: text.insert(at, pieces[random() % std::size(pieces)]); break;
            default: text[at] = static_cast<char>(random() % 256); break;
            }
        }
        const auto read = host::ReadFormDescription(text);
        if (!read.Ok()) continue;
        const auto again = host::ReadFormDescription(host::WriteFormDescription(read.description));
        ASSERT_TRUE(again.Ok()) << text;
        ASSERT_EQ(again.description, read.description) << text;
    }
}

}  // namespace
