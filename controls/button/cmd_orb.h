// `cmdOrb`: the program's gradient command button, a user control of the host.
//
// The face is a vertical colour ramp on a rounded window region, composed off screen and
// copied onto the control's persistent image in one go; a caption label (`lCaption`) and two
// icon images (`Ico`, `CheckedIco`) lie over it. Hovering highlights the face and takes the
// mouse capture, so the control hears when the pointer leaves; a press shifts the whole
// control by ButtonClickHeight twips until the release.
//
// The arithmetic (face plan, region rectangle, layout tables, colours, stored keys) is in the
// portable headers beside this one; this class applies it to windows.
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
    void SetButtonClickHeight(const I4& height);
    I4 StraightSideMask() const { return m.StraightSideMask; }
    void SetStraightSideMask(const I4& mask);
    bool UnderlineChecked() const { return m.UnderlineChecked; }
    void SetUnderlineChecked(const bool& underline);
    bool RightToLeft() const { return m.RightToLeft; }
    void SetRightToLeft(const bool& rtl);
    I2 SmoothCurvature() const { return m.SmoothCurvature; }
    void SetSmoothCurvature(const I2& curvature);
    std::uint8_t TopMarkPercent() const { return m.TopMarkPercent; }
    void SetTopMarkPercent(const I2& percent);
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
    void SetHighColor1(Colour colour);
    Colour CheckedColor() const { return m.CheckedColor; }
    void SetCheckedColor(Colour colour);
    // OleTranslateColor: the RGB of a colour value, or -1 when it is not a valid one.
    static I4 TranslateColor(Colour oClr, HPALETTE hpal = nullptr);
    bool HighlightOnHover() const { return m.HighlightOnHover; }
    void SetHighlightOnHover(bool on);
    bool DontSwitchRTLSmooth() const { return m.DontSwitchRTLSmooth; }
    void SetDontSwitchRTLSmooth(bool on);
    bool HasMenu() const { return m.HasMenu; }
    void SetHasMenu(bool on);
    I4 GradientStyle() const { return m.GradientStyle; }
    void SetGradientStyle(I4 style);
    Colour HighColor2() const { return m.HighColor2; }
    void SetHighColor2(Colour colour);
    const std::string& Caption() const { return lCaption->Caption(); }
    void SetCaption(const std::string& caption);
    const host::PicturePtr& MouseIcon() const { return UserControl::MouseIcon(); }
    void SetMouseIcon(host::PicturePtr icon);
    I4 MousePointer() const { return static_cast<I2>(UserControl::MousePointer()); }
    void SetMousePointer(I4 pointer);
    Colour HighTextColor() const { return m.HighTextColor; }
    void SetHighTextColor(Colour colour);
    Colour BackColor1() const { return m.BackColor1; }
    void SetBackColor1(Colour colour);
    Colour BackColor2() const { return m.BackColor2; }
    void SetBackColor2(Colour colour);
    bool Gradient() const { return m.Gradient; }
    void SetGradient(bool on);
    I4 IconSize() const { return m.IconSize; }
    void SetIconSize(I4 size);
    I4 IconAlign() const { return m.IconAlign; }
    void SetIconAlign(I4 align);
    const host::PicturePtr& Icon() const { return Ico->GetPicture(); }
    void SetIcon(host::PicturePtr icon);
    const host::PicturePtr& CheckedIcon() const { return CheckedIco->GetPicture(); }
    void SetCheckedIcon(host::PicturePtr icon);
    I4 IconWidth() const { return m.IconWidth; }
    void SetIconWidth(I4 width);
    I4 IconHeight() const { return m.IconHeight; }
    void SetIconHeight(I4 height);
    I4 TextAlign() const { return m.TextAlign; }
    void SetTextAlign(I4 align);
    I4 IcoDistFromEdge() const { return m.IcoDistFromEdge; }
    void SetIcoDistFromEdge(I4 distance);
    I4 IcoDistFromTop() const { return m.IcoDistFromTop; }
    void SetIcoDistFromTop(I4 distance);
    I4 BorderStyle3D() const { return m.BorderStyle3D; }
    void SetBorderStyle3D(I4 style);
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
    // The instance's fields, in declaration order; creation values as a fresh instance has them.
    struct Fields {
        bool MenuHot = false;
        bool Highlighted = false;
        bool Pressed = false;
        bool HighlightOnHover = true;
        bool DontSwitchRTLSmooth = false;
        bool HasMenu = false;
        std::int16_t GradientStyle = 2;
        std::int32_t StraightSideMask = 0;
        std::int16_t SmoothCurvature = 0;
        std::uint8_t TopMarkPercent = 0;
        bool UnderlineChecked = false;
        bool RightToLeft = false;
        Colour CheckedColor = 0x00FF00;
        Colour ForeColor = 0;
        Colour HighColor1 = 0xFFC0C0;
        Colour HighColor2 = 0xFF8080;
        std::int32_t BevelWidth = 0;
        std::int32_t BorderStyle3D = 0;
        std::int32_t IcoDistFromEdge = 0;
        std::int32_t IcoDistFromTop = 0;
        std::int16_t TextAlign = 0;
        std::int32_t IconWidth = 0;
        std::int32_t IconHeight = 0;
        bool value = false;
        std::int16_t IconAlign = 0;
        std::int16_t IconSize = 0;
        bool Gradient = false;
        Colour BackColor1 = 0xE0E0E0;
        Colour BackColor2 = 0x808080;
        Colour HighTextColor = 0xFFFFFF;
        std::string HoverState = "NORM";
        std::int32_t SavedLeft = 0;
        std::int32_t SavedTop = 0;
        std::int32_t ButtonClickHeight = 0;
        bool Shown = false;
        bool Loaded = false;
    };

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
    void ApplyStoredProperty(const cmdorb::StoredProperty& key,
                             const host::PropertyValue& stored);
    host::PropertyValue StoredValueOf(const cmdorb::StoredProperty& key) const;
    host::PropertyValue DefaultOf(const cmdorb::StoredProperty& key) const;

    Fields m;
    // The pointer shape `lCaption` shows: the MousePointer write copies it there, loading
    // sets the control's own only.
    int captionPointer_ = kDefault;
    host::Label* lCaption = nullptr;
    host::Image* Ico = nullptr;
    host::Image* CheckedIco = nullptr;
};
