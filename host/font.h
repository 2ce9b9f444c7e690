// The host's font object: face, size in points, weight, italic, underline, strikethrough.
//
// Portable (no <windows.h>): it is also the value a property store keeps for a font. Controls
// share one font through std::shared_ptr; the Windows side makes an HFONT from it on demand
// (host/font_handle.h), so no GDI object is tied to the shared description.
#pragma once

#include <string>

namespace host {

class Font {
public:
    static constexpr int kNormal = 400;
    static constexpr int kBold = 700;

    Font() = default;
    Font(std::string name, double size, bool bold = false, bool italic = false,
         bool underline = false)
        : name_(std::move(name)), size_(size), weight_(bold ? kBold : kNormal),
          italic_(italic), underline_(underline) {}

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // Size in points (8.25, 9.75, ...).
    double Size() const { return size_; }
    void SetSize(double points) { size_ = points; }
    int Weight() const { return weight_; }
    void SetWeight(int weight) { weight_ = weight; }
    bool Bold() const { return weight_ >= kBold; }
    void SetBold(bool bold) { weight_ = bold ? kBold : kNormal; }
    bool Italic() const { return italic_; }
    void SetItalic(bool italic) { italic_ = italic; }
    bool Underline() const { return underline_; }
    void SetUnderline(bool underline) { underline_ = underline; }
    bool Strikethrough() const { return strikethrough_; }
    void SetStrikethrough(bool strike) { strikethrough_ = strike; }

    friend bool operator==(const Font&, const Font&) = default;

private:
    std::string name_ = "MS Sans Serif";
    double size_ = 8.25;
    int weight_ = kNormal;
    bool italic_ = false;
    bool underline_ = false;
    bool strikethrough_ = false;
};

}  // namespace host
