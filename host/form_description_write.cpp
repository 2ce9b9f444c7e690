// Writing a form description: the text that reads back to an equal description. Kept apart
// from the reader because the program only reads, and the shortest-digits number formatting
// the writer needs is a large part of the run-time library.
#include "host/form_description.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cmath>

namespace host {

namespace {

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::invalid_argument("a form description cannot hold " + what);
}

std::string QuoteText(const std::string& text) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const auto* escape = std::find_if(std::begin(kTextEscapes), std::end(kTextEscapes),
                                          [ch](const auto& pair) { return pair.second == ch; });
        if (escape != std::end(kTextEscapes)) {
            out += '\\';
            out += escape->first;
        } else if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string RealText(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

struct ValueText {
    std::string operator()(NoObject) const { return "Nothing"; }
    std::string operator()(I2 v) const { return "I2 " + std::to_string(v); }
    std::string operator()(I4 v) const { return "I4 " + std::to_string(v); }
    std::string operator()(UI1 v) const { return "UI1 " + std::to_string(v); }
    std::string operator()(bool v) const { return v ? "Bool True" : "Bool False"; }
    std::string operator()(const std::string& v) const { return "Str " + QuoteText(v); }
    std::string operator()(const Font& f) const {
        Require(f.Size() > 0 && std::isfinite(f.Size()), "a font size of 0 or less");
        std::string out = "Font " + QuoteText(f.Name()) + " " + RealText(f.Size());
        if (f.Weight() == Font::kBold) {
            out += " Bold";
        } else if (f.Weight() != Font::kNormal) {
            Require(f.Weight() >= -32768 && f.Weight() <= 32767, "this font weight");
            out += " Weight=" + std::to_string(f.Weight());
        }
        if (f.Italic()) out += " Italic";
        if (f.Underline()) out += " Underline";
        if (f.Strikethrough()) out += " Strikethrough";
        return out;
    }
    std::string operator()(const PictureSource& p) const {
        Require(p.resource.empty() || p.file.empty(), "a picture from a resource and a file");
        const char* kind = p.kind == PictureSource::Kind::Icon ? "Icon" : "Bitmap";
        if (!p.file.empty()) return std::string("Picture ") + kind + " File " + QuoteText(p.file);
        return std::string("Picture ") + kind + " Resource " + QuoteText(p.resource);
    }
};

std::string NameText(const std::string& name, std::optional<int> index) {
    Require(IsIdentifier(name), "the name '" + name + "'");
    if (!index) return name;
    Require(*index >= -32768 && *index <= 32767, "this index");
    return name + "(" + std::to_string(*index) + ")";
}

void WriteBlock(std::string& out, const ControlDescription& block) {
    Require(IsIdentifier(block.typeName), "the type '" + block.typeName + "'");
    out += "[" + block.typeName + " " + NameText(block.name, block.index);
    if (!block.container.empty()) out += " in " + NameText(block.container, block.containerIndex);
    out += "]\n";
    for (const auto& entry : block.properties.Entries()) {
        Require(IsIdentifier(entry.key), "the key '" + entry.key + "'");
        out += entry.key + " = " + std::visit(ValueText{}, entry.value) + "\n";
    }
}

}  // namespace

std::string WriteFormDescription(const FormDescription& description) {
    Require(KeysEqual(description.form.typeName, "Form") && !description.form.index &&
                description.form.container.empty(),
            "a form block that is not a form");
    ControlDescription form = description.form;
    form.typeName = "Form";
    std::string out;
    WriteBlock(out, form);
    const auto& controls = description.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const auto& control = controls[i];
        Require(!KeysEqual(control.typeName, "Form"), "a control of type Form");
        bool containerKnown = control.container.empty();
        for (std::size_t j = 0; j < i; ++j) {
            Require(!SameControl(controls[j], control.name, control.index), "two controls " + control.name);
            containerKnown = containerKnown ||
                             SameControl(controls[j], control.container, control.containerIndex);
        }
        Require(containerKnown, "a container that is not an earlier control");
        out += "\n";
        WriteBlock(out, control);
    }
    return out;
}

}  // namespace host
