// `cmdOrb`: the program's gradient command button, a user control of the host.
//
// The face is a vertical colour ramp on a rounded window region, composed off screen and
// copied onto the control's persistent image in one go; a caption label (`lCaption`) and two
// icon images (`Ico`, `CheckedIco`) lie over it. Hovering highlights the face and takes the
// mouse capture, so the control hears when the pointer leaves; a press shifts the whole
// control by ButtonClickHeight twips until the release.
//
// The arithmetic (face plan, region rectangle, layout tables, colours) and the table of the
// stored properties (keys, defaults, fields, what a set does) are in the portable headers
// beside this one; this class applies them to windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "controls/button/button_colour.h"
#include "controls/button/button_properties.h"
#include "host/event.h"
#include "host/property_bag.h"
#include "host/standard_controls.h"
#include "host/user_control.h"

class cmdOrb : public host::UserControl {
public:
    using Colour = cmdorb::Colour;
    using I2 = host::I2;
    using I4 = host::I4;

    explicit cmdOrb(std::string name, std::optional<int> index = {});
    std::string TypeName() const override { return "cmdOrb"; }

    // ---- public members, in their fixed order ----
    float Right();
    HWND ControlHwnd() const { return hWnd(); }
    HDC ControlHdc() { return hDC(); }
    bool value() const { return m.value; }
    void SetValue(const bool& newValue);
    Colour ForeColor() const;
    void SetForeColor(Colour colour);
    I4 ButtonClickHeight() const { return m.ButtonClickHeight; }
    void SetButtonClickHeight(const I4& height) { SetField(Id::ButtonClickHeight, height); }
    I4 StraightSideMask() const { return m.StraightSideMask; }
    void SetStraightSideMask(const I4& mask) { SetField(Id::StraightSideMask, mask); }
    bool UnderlineChecked() const { return m.UnderlineChecked; }
    void SetUnderlineChecked(const bool& underline) { SetField(Id::UnderlineChecked, underline); }
    bool RightToLeft() const { return m.RightToLeft; }
    void SetRightToLeft(const bool& rtl);
    I2 SmoothCurvature() const { return m.SmoothCurvature; }
    void SetSmoothCurvature(const I2& curvature) { SetField(Id::SmoothCurvature, curvature); }
    std::uint8_t TopMarkPercent() const { return m.TopMarkPercent; }
    void SetTopMarkPercent(const I2& percent) {
        SetField(Id::TopMarkPercent, cmdorb::TopMarkPercentByte(percent));
    }
    void SetEnabled(bool enabled) override;
    const std::shared_ptr<host::Font>& Font() const { return lCaption->GetFont(); }
    void SetFont(std::shared_ptr<host::Font> font);
    // Refresh: the host's, repaints the window now.
    void MoveLeft(const I4& LeftPos);
    void MoveTop(const I4& TopPos);
    void UnHighlight();
    void ShowControl();
    const std::string& ToolTipText() const { return lCaption->ToolTipText(); }
    void SetToolTipText(const std::string& text);
    Colour HighColor1() const { return m.HighColor1; }
    void SetHighColor1(Colour colour) { SetField(Id::HighColor1, static_cast<I4>(colour)); }
    Colour CheckedColor() const { return m.CheckedColor; }
    void SetCheckedColor(Colour colour) { SetField(Id::CheckedColor, static_cast<I4>(colour)); }
    // OleTranslateColor: the RGB of a colour value, or -1 when it is not a valid one.
    static I4 TranslateColor(Colour oClr, HPALETTE hpal = nullptr);
    bool HighlightOnHover() const { return m.HighlightOnHover; }
    void SetHighlightOnHover(bool on) { SetField(Id::HighlightOnHover, on); }
    bool DontSwitchRTLSmooth() const { return m.DontSwitchRTLSmooth; }
    void SetDontSwitchRTLSmooth(bool on) { SetField(Id::DontSwitchRTLSmooth, on); }
    bool HasMenu() const { return m.HasMenu; }
    void SetHasMenu(bool on) { SetField(Id::HasMenu, on); }
    I4 GradientStyle() const { return m.GradientStyle; }
    void SetGradientStyle(I4 style) { SetField(Id::HighlightStyle, style); }
    Colour HighColor2() const { return m.HighColor2; }
    void SetHighColor2(Colour colour) { SetField(Id::HighColor2, static_cast<I4>(colour)); }
    const std::string& Caption() const { return lCaption->Caption(); }
    void SetCaption(const std::string& caption);
    const host::PicturePtr& MouseIcon() const { return UserControl::MouseIcon(); }
    void SetMouseIcon(host::PicturePtr icon);
    I4 MousePointer() const { return static_cast<I2>(UserControl::MousePointer()); }
    void SetMousePointer(I4 pointer);
    Colour HighTextColor() const { return m.HighTextColor; }
    void SetHighTextColor(Colour colour) { SetField(Id::HighTextColor, static_cast<I4>(colour)); }
    Colour BackColor1() const { return m.BackColor1; }
    void SetBackColor1(Colour colour) { SetField(Id::BackColor1, static_cast<I4>(colour)); }
    Colour BackColor2() const { return m.BackColor2; }
    void SetBackColor2(Colour colour) { SetField(Id::BackColor2, static_cast<I4>(colour)); }
    bool Gradient() const { return m.Gradient; }
    void SetGradient(bool on) { SetField(Id::Gradient, on); }
    I4 IconSize() const { return m.IconSize; }
    void SetIconSize(I4 size) { SetField(Id::IconSize, size); }
    I4 IconAlign() const { return m.IconAlign; }
    void SetIconAlign(I4 align) { SetField(Id::IconAlign, align); }
    const host::PicturePtr& Icon() const { return Ico->GetPicture(); }
    void SetIcon(host::PicturePtr icon);
    const host::PicturePtr& CheckedIcon() const { return CheckedIco->GetPicture(); }
    void SetCheckedIcon(host::PicturePtr icon);
    I4 IconWidth() const { return m.IconWidth; }
    void SetIconWidth(I4 width) { SetIconMeasure(Id::IconWidth, width); }
    I4 IconHeight() const { return m.IconHeight; }
    void SetIconHeight(I4 height) { SetIconMeasure(Id::IconHeight, height); }
    I4 TextAlign() const { return m.TextAlign; }
    void SetTextAlign(I4 align) { SetField(Id::TextAlign, align); }
    I4 IcoDistFromEdge() const { return m.IcoDistFromEdge; }
    void SetIcoDistFromEdge(I4 distance) { SetField(Id::IcoDistFromEdge, distance); }
    I4 IcoDistFromTop() const { return m.IcoDistFromTop; }
    void SetIcoDistFromTop(I4 distance) { SetField(Id::IcoDistFromTop, distance); }
    I4 BorderStyle3D() const { return m.BorderStyle3D; }
    void SetBorderStyle3D(I4 style) { SetField(Id::BorderStyle3D, style); }
    // Toggles `value` six times, 200 ms apart, letting events run in between.
    void FlashControl(bool& IsSuccess);

    // ---- events, in their declared order; arguments by reference ----
    host::Event<> OnClick;
    host::Event<> OnMenuClick;
    host::Event<> OnDblClick;
    host::Event<I2&, I2&, float&, float&> OnMouseMove;
    host::Event<I2&, I2&, float&, float&> OnMouseDown;
    host::Event<I2&, I2&, float&, float&> OnMouseUp;
    host::Event<I2&, I2&> OnKeyDown;
    host::Event<I2&> OnKeyPress;
    host::Event<I2&, I2&> OnKeyUp;
    host::Event<> OnResize;
    host::Event<> OnShow;

    // ---- what assistive technology is told: a push button named by its caption ----
    long AccessibleRole() const override;
    std::wstring AccessibleName() const override;
    long AccessibleState() const override;
    std::wstring AccessibleDefaultAction() const override;
    std::wstring AccessibleShortcut() const override;
    void DoAccessibleDefaultAction() override;

    // ---- state a container or test may look at ----
    const std::string& HoverState() const { return m.HoverState; }
    bool Highlighted() const { return m.Highlighted; }
    bool Pressed() const { return m.Pressed; }
    bool IsLoaded() const { return m.Loaded; }
    host::Label& CaptionLabel() { return *lCaption; }
    host::Image& IconImage() { return *Ico; }
    host::Image& CheckedIconImage() { return *CheckedIco; }

    // Paints the face from `base` (BackColor1 or HighColor1) when the control is shown.
    void DrawFace(const Colour& base);
    void SystemColoursChanged() override;

protected:
    void Initialize() override;
    void InitProperties() override;
    void ReadProperties(host::PropertyBag& bag) override;
    void WriteProperties(host::PropertyBag& bag) override;
    void Show() override;
    void Resize() override;
    void GotFocus() override;
    void LostFocus() override;
    void ExitFocus() override;
    void MouseDown(int button, int shift, double x, double y) override;
    void MouseMove(int button, int shift, double x, double y) override;
    void MouseUp(int button, int shift, double x, double y) override;
    void DblClick() override;
    void KeyDown(int& keyCode, int& shift) override;
    void KeyPress(int& keyAscii) override;
    void KeyUp(int& keyCode, int& shift) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The instance's fields: the stored ones (StoredFields, with the table's creation values)
    // and the state of the moment, as a fresh instance has them.
    struct Fields : cmdorb::StoredFields {
        bool MenuHot = false;
        bool Highlighted = false;
        bool Pressed = false;
        bool RightToLeft = false;
        Colour ForeColor = 0;
        bool value = false;
        std::string HoverState = "NORM";
        std::int32_t SavedLeft = 0;
        std::int32_t SavedTop = 0;
        bool Shown = false;
        bool Loaded = false;
    };
    using Id = cmdorb::PropertyId;

    void DrawSystemColourFace(bool highlighted);
    // The face just drawn onto the screen, and the constituents over it.
    void ShowFaceNow();
    void ApplyRegion(HWND hWnd, std::int32_t height, std::int32_t width, double curvature,
                     std::int32_t x1, std::int32_t y1, std::int32_t mask);
    void LayoutCaption();
    void LayoutIcon();
    void Relayout();
    void ApplyState();
    void Highlight();
    void ResetHover();
    // Back to (SavedLeft, SavedTop) in the container.
    void MoveToRest();
    // The region as ShowControl and the resize give it: from the container-side size.
    void ApplyOwnRegion();
    // The label takes the size of its text in its font, so that LayoutCaption can centre it.
    void FitCaptionLabel();
    // The pointer in the control's client pixels.
    POINT CursorInClient() const;
    // Raises a mouse event with its arguments by reference.
    void RaiseMouse(const host::Event<I2&, I2&, float&, float&>& event, int button, int shift,
                    double x, double y);
    // Stores a number or Boolean in the property's field, then does what its row says a set does.
    void SetField(Id id, I4 number);
    // IconWidth and IconHeight: a set of either makes IconSize custom.
    void SetIconMeasure(Id id, I4 pixels);
    // What the property's row says a set does, with its announcement, once the value is stored.
    void AfterSet(Id id);
    void ApplySetEffect(const cmdorb::StoredProperty& row);
    // The keys the control or its constituents hold rather than a field.
    void LoadOwnProperty(Id id, const host::PropertyValue& stored);
    host::PropertyValue OwnStoredValue(Id id) const;
    host::PropertyValue DefaultOf(const cmdorb::StoredProperty& key) const;

    Fields m;
    // The pointer shape `lCaption` shows: the MousePointer write copies it there, loading
    // sets the control's own only.
    int captionPointer_ = kDefault;
    host::Label* lCaption = nullptr;
    host::Image* Ico = nullptr;
    host::Image* CheckedIco = nullptr;
};
