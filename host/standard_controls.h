// The standard controls: text box, picture box, option button, label, image and timer.
//
// Type names (TypeName()) are "TextBox", "PictureBox", "OptionButton", "Label", "Image" and
// "Timer". Events are std::function members (OnClick, OnChange, OnTick...).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "host/control.h"
#include "host/drawing_surface.h"
#include "host/surface_owner.h"
#include "host/font.h"
#include "host/handles.h"
#include "host/picture.h"

namespace host {

// An EDIT window: one line of text.
class TextBox : public Control {
public:
    using Control::Control;
    std::string TypeName() const override { return "TextBox"; }
    bool CanTakeFocus() const override { return true; }
    void ReadDesignProperties(const PropertyBag& bag) override;
    void WriteDesignProperties(PropertyBag& bag) const override;

    std::string Text() const;
    // The text as the box holds it, in UTF-16: characters the ANSI code page lacks included.
    std::wstring WideText() const;
    void SetText(const std::string& text);
    void SetFocus();
    const std::shared_ptr<host::Font>& GetFont() const { return font_; }
    void SetFont(std::shared_ptr<host::Font> font);

    std::function<void()> OnChange;

    // Editable text; its name is the one its owner gives (the label beside it), its text the value.
    long AccessibleRole() const override;
    std::wstring AccessibleValue() const override;

protected:
    bool CreateControlWindow(HWND parent, const RECT& pixels) override;
    std::optional<LRESULT> ReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::string text_;  // while there is no window
    std::shared_ptr<host::Font> font_;
    unique_font fontHandle_;
};

// A child window with a drawing state and a persistent image (AutoRedraw). It can hold
// controls of its own; their placement is in its scale.
class PictureBox : public Control, public Container, public MouseEvents, public SurfaceOwner {
public:
    using Control::Control;
    ~PictureBox() override;
    std::string TypeName() const override { return "PictureBox"; }
    void ReadDesignProperties(const PropertyBag& bag) override;
    void WriteDesignProperties(PropertyBag& bag) const override;

    HWND hWnd() const override { return Control::hWnd(); }
    HDC hDC() override { return surface_.hDC(); }

    // Repaints the window now from the persistent image (or through OnPaint).
    void Refresh() override;
    // 0 no border, 1 a sunken edge.
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    // The picture shown at the top-left, under anything drawn.
    const PicturePtr& GetPicture() const { return picture_; }
    void SetPicture(PicturePtr picture);

    std::function<void()> OnPaint;   // while AutoRedraw is off
    std::function<void()> OnResize;

    // Container
    double UnitsPerPixelX() const override { return surface_.UnitsPerPixelX(); }
    double UnitsPerPixelY() const override { return surface_.UnitsPerPixelY(); }
    Form* HostForm() const override { return Control::HostForm(); }
    ControlList OwnerControls() const override;

protected:
    bool CreateControlWindow(HWND parent, const RECT& pixels) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    bool PaintsBackground() const override { return true; }
    void WindowDestroyed() override { surface_.Detach(); }

private:
    PicturePtr picture_;
    int borderStyle_ = 1;
};

// A BUTTON window in radio style. Setting Value to true clears the option buttons on the
// same container (the group); a click sets it and raises OnClick.
class OptionButton : public Control {
public:
    using Control::Control;
    std::string TypeName() const override { return "OptionButton"; }
    bool CanTakeFocus() const override { return true; }
    void ReadDesignProperties(const PropertyBag& bag) override;
    void WriteDesignProperties(PropertyBag& bag) const override;

    bool Value() const { return value_; }
    void SetValue(bool value);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void SetFont(std::shared_ptr<host::Font> font);
    OleColor BackColor() const { return backColor_; }
    void SetBackColor(OleColor color);
    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor color);

    std::function<void()> OnClick;

    // A radio button named by its caption, checked with its Value; "Select" clicks it.
    long AccessibleRole() const override;
    std::wstring AccessibleName() const override;
    long AccessibleState() const override;
    std::wstring AccessibleDefaultAction() const override;
    void DoAccessibleDefaultAction() override;

protected:
    bool CreateControlWindow(HWND parent, const RECT& pixels) override;
    std::optional<LRESULT> ReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool value_ = false;
    std::string caption_;
    std::shared_ptr<host::Font> font_;
    unique_font fontHandle_;
    OleColor backColor_ = 0x8000000F;
    OleColor foreColor_ = 0x80000012;
    unique_brush backBrush_;
};

// A windowed control without a scale of its own: its mouse events give positions in twips.
class TwipsMouseControl : public Control, public MouseEvents {
public:
    using Control::Control;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Text drawn in its font and colours, opaque or over what its container shows.
class Label : public TwipsMouseControl {
public:
    enum Alignments { kLeft = 0, kRight = 1, kCenter = 2 };
    using TwipsMouseControl::TwipsMouseControl;
    std::string TypeName() const override { return "Label"; }
    void ReadDesignProperties(const PropertyBag& bag) override;
    void WriteDesignProperties(PropertyBag& bag) const override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const std::shared_ptr<host::Font>& GetFont() const { return font_; }
    void SetFont(std::shared_ptr<host::Font> font);
    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor color);
    OleColor BackColor() const { return backColor_; }
    void SetBackColor(OleColor color);
    // 0 transparent, 1 opaque.
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int style);
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    bool RightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool rtl);
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(const std::string& text) { toolTip_ = text; }
    // Static text that says its caption.
    long AccessibleRole() const override;
    std::wstring AccessibleName() const override;
    // While set, the text is drawn in this system colour (COLOR_*) instead of ForeColor: the
    // high-contrast look of the control the label is part of.
    void SetSystemTextColour(std::optional<int> index);

protected:
    bool CreateControlWindow(HWND parent, const RECT& pixels) override;
    void Paint(HDC dc) override;
    bool PaintsBackground() const override { return true; }

private:
    void Redraw();
    // Stores a value the label is drawn with, and repaints the label.
    template <typename Field, typename Value>
    void Restyle(Field& field, Value&& value) {
        field = std::forward<Value>(value);
        Redraw();
    }

    std::string caption_;
    std::shared_ptr<host::Font> font_ = std::make_shared<host::Font>();
    OleColor foreColor_ = 0x80000012;
    OleColor backColor_ = 0x8000000F;
    int backStyle_ = 1;
    int alignment_ = kLeft;
    bool wordWrap_ = false;
    bool rightToLeft_ = false;
    std::string toolTip_;
    std::optional<int> systemTextColour_;
};

// A picture over its container; stretched to the control's size when Stretch is on.
class Image : public TwipsMouseControl {
public:
    using TwipsMouseControl::TwipsMouseControl;
    std::string TypeName() const override { return "Image"; }
    void ReadDesignProperties(const PropertyBag& bag) override;
    void WriteDesignProperties(PropertyBag& bag) const override;

    const PicturePtr& GetPicture() const { return picture_; }
    void SetPicture(PicturePtr picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

protected:
    bool CreateControlWindow(HWND parent, const RECT& pixels) override;
    void Paint(HDC dc) override;
    bool PaintsBackground() const override { return true; }

private:
    PicturePtr picture_;
    bool stretch_ = false;
};

// Calls OnTick every Interval milliseconds while enabled, with a timer on its container's
// window. Interval 0 stops it.
class Timer : public Control {
public:
    using Control::Control;
    ~Timer() override;
    std::string TypeName() const override { return "Timer"; }
    void ReadDesignProperties(const PropertyBag& bag) override;
    void WriteDesignProperties(PropertyBag& bag) const override;

    bool Enabled() const override { return Control::Enabled(); }
    void SetEnabled(bool enabled) override;
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

    std::function<void()> OnTick;

protected:
    bool CreateControlWindow(HWND parent, const RECT& pixels) override;

private:
    void Rearm();

    int interval_ = 0;
    Window* owner_ = nullptr;
};

// Draws what the parent window shows under `child` into `dc` (for transparent controls).
void PaintParentBackground(HWND child, HDC dc);

}  // namespace host
