// `lblOrb`: the owner-drawn label, check box and option button of the main window.
//
// The control draws its caption on its own surface and its box (or option circles) with the
// check mark in the constituent picture box `PicCheck`; the hidden `PicTmp` holds the
// picture strip of `StyleEx` 1. What to draw comes from the plans of check_plan.h and
// caption_text.h; which properties exist, their keys, defaults and what a set does comes from
// the table of check_label_properties.h. Both surfaces keep a persistent image, so a repaint
// is composed off-screen and copied to the screen at once.
//
// Beyond the host: captions are wide text, printed and measured with the wide GDI calls on
// the surface's device context (the host's Print is narrow and cannot show Hebrew letters).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "controls/checklabel/check_label_fields.h"
#include "controls/checklabel/check_plan.h"
#include "controls/checklabel/check_label_properties.h"
#include "host/event.h"
#include "host/property_bag.h"
#include "host/standard_controls.h"
#include "host/user_control.h"

namespace checklabel {

class FocusPictureBox;

class lblOrb : public host::UserControl {
public:
    static constexpr const char* kTypeName = "lblOrb";

    explicit lblOrb(std::string name, std::optional<int> index = {});
    ~lblOrb() override;
    std::string TypeName() const override { return kTypeName; }

    // ---- events, in their declared order; every argument by reference ----
    host::Event<bool&> OnCheckClick;  // refers to the Checked field
    host::Event<host::I2&, host::I2&, float&, float&> OnMouseDown;
    // State 1: the pointer entered; 2: it left.
    host::Event<host::I2&, host::I2&, float&, float&, host::I4&> OnMouseMove;
    host::Event<host::I2&, host::I2&, float&, float&> OnMouseUp;
    // The surface's device context and the colour the caption was just printed in.
    host::Event<HDC&, Colour&> OnAfterDrawCaption;

    // ---- properties (stored ones in the order of their table) ----
    std::int32_t BoxStyle() const { return f_.BoxStyle; }
    void SetBoxStyle(std::int32_t v) { SetField(PropertyId::BoxStyle, v); }
    bool Checked() const { return f_.Checked; }
    void SetChecked(bool v) { SetField(PropertyId::Checked, v); }
    Colour CheckColor() const { return f_.CheckColor; }
    void SetCheckColor(Colour v) { SetField(PropertyId::CheckColor, v); }
    const std::wstring& Caption() const { return f_.Caption; }
    void SetCaption(std::wstring v) { SetField(PropertyId::Caption, std::move(v)); }
    std::int32_t Align() const { return f_.Align; }
    void SetAlign(std::int32_t v) { SetField(PropertyId::Align, v); }
    Colour BackColor() const { return UserControl::BackColor(); }
    void SetBackColor(Colour v);
    Colour ForeColor() const { return f_.ForeColor; }
    void SetForeColor(Colour v) { SetField(PropertyId::ForeColor, v); }
    const std::shared_ptr<host::Font>& GetFont() const { return UserControl::GetFont(); }
    void SetFont(std::shared_ptr<host::Font> font);
    const host::PicturePtr& MouseIcon() const { return UserControl::MouseIcon(); }
    void SetMouseIcon(host::PicturePtr icon);
    int MousePointer() const { return UserControl::MousePointer(); }
    void SetMousePointer(int pointer);
    bool ShowFocusRect() const { return f_.ShowFocusRect; }
    void SetShowFocusRect(bool v) { SetField(PropertyId::ShowFocusRect, v); }
    bool RightToLeft() const { return f_.RightToLeft; }
    void SetRightToLeft(bool v) { SetField(PropertyId::RightToLeft, v); }
    bool IsLabel() const { return f_.IsLabel; }
    void SetIsLabel(bool v) { SetField(PropertyId::IsLabel, v); }
    bool TransparentBackground() const { return f_.TransparentBackground; }
    void SetTransparentBackground(bool v) { SetField(PropertyId::TransparentBackground, v); }
    bool IsOption() const { return f_.IsOption; }
    void SetIsOption(bool v) { SetField(PropertyId::IsOption, v); }
    bool AutoSize() const { return f_.AutoSize; }
    void SetAutoSize(bool v) { SetField(PropertyId::AutoSize, v); }
    bool WordWrap() const { return f_.WordWrap; }
    void SetWordWrap(bool v) { SetField(PropertyId::WordWrap, v); }
    Colour BoxColor() const { return f_.BoxColor; }
    void SetBoxColor(Colour v) { SetField(PropertyId::BoxColor, v); }
    // The control's own flag: the window stays enabled; colours and input handling change.
    bool Enabled() const override { return f_.Enabled; }
    void SetEnabled(bool v) override { SetField(PropertyId::Enabled, v); }
    Colour BorderColor() const { return f_.BorderColor; }
    void SetBorderColor(Colour v) { SetField(PropertyId::BorderColor, v); }
    std::int16_t CheckDrawWidth() const { return f_.CheckDrawWidth; }
    void SetCheckDrawWidth(std::int16_t v) { SetField(PropertyId::CheckDrawWidth, v); }
    std::int32_t CheckStyle() const { return f_.CheckStyle; }
    void SetCheckStyle(std::int32_t v) { SetField(PropertyId::CheckStyle, v); }
    bool HotTracking() const { return f_.HotTracking; }
    void SetHotTracking(bool v) { SetField(PropertyId::HotTracking, v); }
    Colour TrackingColor() const { return f_.TrackingColor; }
    void SetTrackingColor(Colour v) { SetField(PropertyId::TrackingColor, v); }
    Colour DisabledForeColor() const { return f_.DisabledForeColor; }
    void SetDisabledForeColor(Colour v) { SetField(PropertyId::DisabledForeColor, v); }
    Colour FocusRectColor() const { return f_.FocusRectColor; }
    void SetFocusRectColor(Colour v) { SetField(PropertyId::FocusRectColor, v); }
    const host::PicturePtr& Picture() const;
    void SetPicture(host::PicturePtr picture);
    std::int32_t StyleEx() const { return f_.StyleEx; }
    void SetStyleEx(std::int32_t v) { SetField(PropertyId::StyleEx, v); }

    // ---- members that are not stored ----
    // The extender's Left plus its Width, in the container's units.
    float Right() { return static_cast<float>(Extender().Left() + Extender().Width()); }
    // Sets Checked, notifies "Checked" and repaints: no event, no option handling. Option
    // siblings are cleared through it by name.
    void SetMarshallChecked(bool value);
    // Fits the extender's width to the caption and the box room; the height stays.
    void AutoSizeControl();
    // Draws the check mark into PicCheck.
    void DrawCheck(Colour markColour, std::int32_t checkStyle, std::int32_t boxStyle);
    // The one repaint of the whole control.
    void DrawControl();
    void SystemColoursChanged() override { DrawControl(); }

    // The box. A label draws none (its box would lie outside the control), so a label makes
    // its box only when something asks for it, such as a click that gives the box the focus.
    host::PictureBox& PicCheck();
    host::PictureBox& PicTmp();
    bool HasFocus() const { return f_.HasFocus; }
    Colour SavedForeColor() const { return f_.SavedForeColor; }

    // The focus goes to PicCheck; a label never takes it.
    bool CanTakeFocus() const override { return !f_.IsLabel; }
    HWND FocusWindow() const override;

    // What assistive technology is told: a check box or radio button with its check, or
    // static text (or the role its owner gave a label, such as a link).
    long AccessibleRole() const override;
    std::wstring AccessibleName() const override;
    long AccessibleState() const override;
    std::wstring AccessibleDefaultAction() const override;
    std::wstring AccessibleShortcut() const override;
    void DoAccessibleDefaultAction() override;

    // Late-bound: "MarshallChecked" and the stored properties held in fields, by key.
    bool SetPropertyByName(std::string_view name, const host::PropertyValue& value) override;
    std::optional<host::PropertyValue> GetPropertyByName(std::string_view name) const override;

protected:
    void Initialize() override;
    void InitProperties() override;
    void ReadProperties(host::PropertyBag& bag) override;
    void WriteProperties(host::PropertyBag& bag) override;
    void Show() override;
    void Resize() override { DrawControl(); }
    void MouseDown(int button, int shift, double x, double y) override;
    void MouseMove(int button, int shift, double x, double y) override;
    void MouseUp(int button, int shift, double x, double y) override;
    void KeyPress(int& keyAscii) override;
    void AccessKeyPress(int keyAscii) override;

private:
    friend class FocusPictureBox;

    // A value of one of the fields behind the stored properties.
    using FieldValue = std::variant<Colour, std::int32_t, std::int16_t, bool, std::wstring>;
    // Stores a value in its field, then does what the property's row says a set does.
    void SetField(PropertyId id, FieldValue value);
    void AfterSet(PropertyId id);
    void AfterCheckedSet();

    void PicCheck_MouseDown(int button, int shift, double x, double y);
    void PicCheck_MouseMove(int button, int shift, double x, double y);
    void PicCheck_MouseUp(int button, int shift, double x, double y);
    void PicCheckFocus(bool gained);
    bool IsInControlArray();
    void ClearOptionSiblings();
    void RestoreForeColor();

    void PrintCaption(const std::wstring& caption);
    void PrintText(std::wstring_view text, bool lineBreak);
    double TextWidthOf(std::wstring_view text) const;
    double TextHeightOf(std::wstring_view text) const;
    void ClearToContainer();
    CheckLabelFields HighContrastLook() const;
    void FillWithSystemColour(int index);
    void PlacePicture(host::PicturePtr picture);
    void DrawPictureStrip();
    FocusPictureBox& Box();
    void DrawBox(const BoxColours& colours, const Metrics& metrics, const Layout& layout);
    // The box's width and inner width in twips, as the box reports them; without a box, those
    // of the box a label would make.
    int BoxWidth() const;
    double BoxInnerWidth() const;

    CheckLabelFields f_;
    FocusPictureBox* picCheck_ = nullptr;
    host::PictureBox* picTmp_ = nullptr;
    // Hot tracking put TrackingColor into ForeColor and SavedForeColor holds the colour to
    // put back; a restore without it would paint a never-saved colour over ForeColor.
    bool trackingShown_ = false;
};

}  // namespace checklabel

// The control's own name, as the container spells its type.
using lblOrb = checklabel::lblOrb;
