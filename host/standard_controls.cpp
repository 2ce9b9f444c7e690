#include "host/standard_controls.h"

#include <oleacc.h>

#include "host/app.h"
#include "host/color.h"
#include "host/design_values.h"
#include "host/font_handle.h"
#include "host/form.h"
#include "host/wide_text.h"

namespace host {

void PaintParentBackground(HWND child, HDC dc) {
    HWND parent = GetParent(child);
    if (!parent) return;
    POINT origin{0, 0};
    MapWindowPoints(child, parent, &origin, 1);
    POINT previous{};
    SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

namespace {

std::shared_ptr<Font> FormFont(const Control& control) {
    Form* form = control.HostForm();
    return form ? form->GetFont() : std::make_shared<Font>();
}

OleColor ReadColor(const PropertyBag& bag, std::string_view key, OleColor current) {
    return static_cast<OleColor>(bag.ReadProperty<I4>(key, static_cast<I4>(current)));
}

void WriteColor(PropertyBag& bag, std::string_view key, OleColor value, OleColor def) {
    bag.WriteProperty<I4>(key, static_cast<I4>(value), static_cast<I4>(def));
}

constexpr OleColor kButtonFace = 0x8000000F;
constexpr OleColor kButtonText = 0x80000012;

// The caption and the two colours an option button and a label store after the control's
// own values; the caption defaults to the control's name.
template <typename StandardControl>
void ReadCaptionAndColours(StandardControl& control, const PropertyBag& bag) {
    control.SetCaption(bag.ReadProperty<std::string>("Caption", control.Name()));
    control.SetBackColor(ReadColor(bag, "BackColor", kButtonFace));
    control.SetForeColor(ReadColor(bag, "ForeColor", kButtonText));
}

void WriteCaptionAndColours(PropertyBag& bag, const std::string& caption, const std::string& name,
                            OleColor back, OleColor fore) {
    bag.WriteProperty<std::string>("Caption", caption, name);
    WriteColor(bag, "BackColor", back, kButtonFace);
    WriteColor(bag, "ForeColor", fore, kButtonText);
}

}  // namespace

// ---- TextBox ----

void TextBox::ReadDesignProperties(const PropertyBag& bag) {
    Control::ReadDesignProperties(bag);
    SetText(bag.ReadProperty<std::string>("Text", ""));
    SetFont(ReadFont(bag, "Font", FormFont(*this)));
    SetEnabled(bag.ReadProperty<bool>("Enabled", true));
}

void TextBox::WriteDesignProperties(PropertyBag& bag) const {
    Control::WriteDesignProperties(bag);
    bag.WriteProperty<std::string>("Text", Text(), "");
    WriteFont(bag, "Font", font_, FormFont(*this));
    bag.WriteProperty<bool>("Enabled", Enabled(), true);
}

bool TextBox::CreateControlWindow(HWND parent, const RECT& r) {
    CreateArgs args = CreateArgs::At(r, parent);
    args.kind = Kind::Edit;
    args.style = ChildStyle() | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
    args.exStyle = WS_EX_CLIENTEDGE;
    args.text = text_.c_str();
    if (!CreateWindowObject(args)) return false;
    if (font_) SetFont(font_);
    return true;
}

std::string TextBox::Text() const {
    if (!hWnd()) return text_;
    const int length = GetWindowTextLengthA(hWnd());
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hWnd(), text.data(), length + 1)));
    return text;
}

std::wstring TextBox::WideText() const {
    if (!hWnd()) return Widen(text_, CP_ACP);
    const int length = GetWindowTextLengthW(hWnd());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hWnd(), text.data(), length + 1)));
    return text;
}

void TextBox::SetText(const std::string& text) {
    text_ = text;
    if (hWnd()) SetWindowTextA(hWnd(), text.c_str());
}

void TextBox::SetFocus() {
    if (hWnd()) ::SetFocus(hWnd());
}

void TextBox::SetFont(std::shared_ptr<host::Font> font) {
    font_ = std::move(font);
    if (!hWnd()) return;
    unique_font next = font_ ? CreateFontHandle(*font_) : unique_font();
    SendMessageA(hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
    fontHandle_ = std::move(next);  // the old one is no longer in use
}

std::optional<LRESULT> TextBox::ReflectedMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        AnnounceChange(*this, EVENT_OBJECT_VALUECHANGE);
        if (OnChange) OnChange();
        return 0;
    }
    return {};
}

long TextBox::AccessibleRole() const { return ROLE_SYSTEM_TEXT; }

// Read as UTF-16: through the ANSI code page a character it cannot write would be said as "?".
std::wstring TextBox::AccessibleValue() const { return WideText(); }

// ---- PictureBox ----

void PictureBox::ReadDesignProperties(const PropertyBag& bag) {
    Control::ReadDesignProperties(bag);
    SetBorderStyle(bag.ReadProperty<I2>("BorderStyle", 1));
    SetScaleMode(bag.ReadProperty<I2>("ScaleMode", DrawingSurface::kTwips));
    SetAutoRedraw(bag.ReadProperty<bool>("AutoRedraw", false));
    surface_.SetForeColor(ReadColor(bag, "ForeColor", kButtonText));
    surface_.SetFillColor(ReadColor(bag, "FillColor", 0));
    surface_.SetFillStyle(bag.ReadProperty<I2>("FillStyle", DrawingSurface::kFillTransparent));
    surface_.SetDrawWidth(bag.ReadProperty<I2>("DrawWidth", 1));
    surface_.SetFont(ReadFont(bag, "Font", FormFont(*this)));
    surface_.SetBackColor(ReadColor(bag, "BackColor", kButtonFace));
    SetPicture(ReadPicture(bag, "Picture"));
    SetEnabled(bag.ReadProperty<bool>("Enabled", true));
}

void PictureBox::WriteDesignProperties(PropertyBag& bag) const {
    Control::WriteDesignProperties(bag);
    bag.WriteProperty<I2>("BorderStyle", static_cast<I2>(borderStyle_), 1);
    bag.WriteProperty<I2>("ScaleMode", static_cast<I2>(surface_.ScaleMode()), DrawingSurface::kTwips);
    bag.WriteProperty<bool>("AutoRedraw", surface_.AutoRedraw(), false);
    WriteColor(bag, "ForeColor", surface_.ForeColor(), kButtonText);
    WriteColor(bag, "FillColor", surface_.FillColor(), 0);
    bag.WriteProperty<I2>("FillStyle", static_cast<I2>(surface_.FillStyle()),
                          DrawingSurface::kFillTransparent);
    bag.WriteProperty<I2>("DrawWidth", static_cast<I2>(surface_.DrawWidth()), 1);
    WriteFont(bag, "Font", surface_.GetFont(), FormFont(*this));
    WriteColor(bag, "BackColor", surface_.BackColor(), kButtonFace);
    WritePicture(bag, "Picture", picture_);
    bag.WriteProperty<bool>("Enabled", Enabled(), true);
}

PictureBox::~PictureBox() {
    surface_.Detach();
    DestroyWindowObject();
}

bool PictureBox::CreateControlWindow(HWND parent, const RECT& r) {
    CreateArgs args = CreateArgs::At(r, parent);
    args.kind = Kind::OwnDc;
    args.style = ChildStyle() | WS_CLIPCHILDREN;
    args.exStyle = borderStyle_ ? WS_EX_CLIENTEDGE : 0;
    if (!CreateWindowObject(args)) return false;
    surface_.Attach(hWnd());
    return true;
}

ControlList PictureBox::OwnerControls() const {
    return Parent() ? Parent()->OwnerControls() : ControlList{};
}

void PictureBox::Refresh() {
    if (!hWnd()) return;
    InvalidateRect(hWnd(), nullptr, FALSE);
    UpdateWindow(hWnd());
}

void PictureBox::SetBorderStyle(int style) {
    borderStyle_ = style;
    if (!hWnd()) return;
    SetWindowLongPtrA(hWnd(), GWL_EXSTYLE, style ? WS_EX_CLIENTEDGE : 0);
    SetWindowPos(hWnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void PictureBox::SetPicture(PicturePtr picture) {
    picture_ = std::move(picture);
    // The picture becomes the background of the persistent image, under later drawing.
    if (surface_.AutoRedraw()) {
        surface_.Cls();
        if (picture_) picture_->Render(surface_.hDC(), 0, 0);
    }
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (DispatchMouse(*this, message, wParam, lParam, surface_.UnitsPerPixelX(),
                      surface_.UnitsPerPixelY())) {
        return 0;
    }
    if (message == WM_SIZE) {
        surface_.Resized();
        if (OnResize) OnResize();
    }
    return Control::HandleMessage(message, wParam, lParam);
}

void PictureBox::Paint(HDC dc) { PaintSurface(hWnd(), dc, picture_.get(), OnPaint); }

// ---- TwipsMouseControl ----

LRESULT TwipsMouseControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (DispatchMouse(*this, message, wParam, lParam, App::TwipsPerPixelX(),
                      App::TwipsPerPixelY())) {
        return 0;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

// ---- OptionButton ----

void OptionButton::ReadDesignProperties(const PropertyBag& bag) {
    Control::ReadDesignProperties(bag);
    ReadCaptionAndColours(*this, bag);
    SetFont(ReadFont(bag, "Font", FormFont(*this)));
    SetEnabled(bag.ReadProperty<bool>("Enabled", true));
    SetValue(bag.ReadProperty<bool>("Value", false));
}

void OptionButton::WriteDesignProperties(PropertyBag& bag) const {
    Control::WriteDesignProperties(bag);
    WriteCaptionAndColours(bag, caption_, Name(), backColor_, foreColor_);
    WriteFont(bag, "Font", font_, FormFont(*this));
    bag.WriteProperty<bool>("Enabled", Enabled(), true);
    bag.WriteProperty<bool>("Value", value_, false);
}

bool OptionButton::CreateControlWindow(HWND parent, const RECT& r) {
    CreateArgs args = CreateArgs::At(r, parent);
    args.kind = Kind::Button;
    args.style = ChildStyle() | WS_TABSTOP | BS_RADIOBUTTON;
    args.text = caption_.c_str();
    if (!CreateWindowObject(args)) return false;
    SendMessageA(hWnd(), BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
    if (font_) SetFont(font_);
    return true;
}

void OptionButton::SetValue(bool value) {
    const bool changed = value != value_;
    value_ = value;
    if (changed) AnnounceStateChange();
    if (hWnd()) SendMessageA(hWnd(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value || !Parent()) return;
    for (Control* other : Parent()->OwnerControls()) {
        auto* option = dynamic_cast<OptionButton*>(other);
        if (option && option != this && option->Parent() == Parent() && option->value_) {
            option->SetValue(false);
        }
    }
}

std::string OptionButton::Caption() const { return caption_; }

void OptionButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hWnd()) SetWindowTextA(hWnd(), caption.c_str());
    AnnounceChange(*this, EVENT_OBJECT_NAMECHANGE);
}

long OptionButton::AccessibleRole() const { return ROLE_SYSTEM_RADIOBUTTON; }

std::wstring OptionButton::AccessibleName() const { return SpokenCaption(Widen(caption_, CP_ACP)); }

long OptionButton::AccessibleState() const { return value_ ? STATE_SYSTEM_CHECKED : 0; }

std::wstring OptionButton::AccessibleDefaultAction() const { return L"Select"; }

// As a click: the button's own procedure checks it and tells its parent.
void OptionButton::DoAccessibleDefaultAction() {
    if (hWnd() && Enabled()) SendMessageA(hWnd(), BM_CLICK, 0, 0);
}

void OptionButton::SetFont(std::shared_ptr<host::Font> font) {
    font_ = std::move(font);
    if (!hWnd()) return;
    unique_font next = font_ ? CreateFontHandle(*font_) : unique_font();
    SendMessageA(hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
    fontHandle_ = std::move(next);
}

void OptionButton::SetBackColor(OleColor color) {
    backColor_ = color;
    backBrush_.reset();
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void OptionButton::SetForeColor(OleColor color) {
    foreColor_ = color;
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

std::optional<LRESULT> OptionButton::ReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        SetValue(true);
        if (OnClick) OnClick();
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, ResolveColor(foreColor_));
        SetBkColor(dc, ResolveColor(backColor_));
        if (!backBrush_) backBrush_.reset(CreateSolidBrush(ResolveColor(backColor_)));
        (void)lParam;
        return reinterpret_cast<LRESULT>(backBrush_.get());
    }
    return {};
}

// ---- Label ----

void Label::ReadDesignProperties(const PropertyBag& bag) {
    Control::ReadDesignProperties(bag);
    ReadCaptionAndColours(*this, bag);
    SetBackStyle(bag.ReadProperty<I2>("BackStyle", 1));
    SetAlignment(bag.ReadProperty<I2>("Alignment", kLeft));
    SetWordWrap(bag.ReadProperty<bool>("WordWrap", false));
    SetFont(ReadFont(bag, "Font", FormFont(*this)));
    SetEnabled(bag.ReadProperty<bool>("Enabled", true));
}

void Label::WriteDesignProperties(PropertyBag& bag) const {
    Control::WriteDesignProperties(bag);
    WriteCaptionAndColours(bag, caption_, Name(), backColor_, foreColor_);
    bag.WriteProperty<I2>("BackStyle", static_cast<I2>(backStyle_), 1);
    bag.WriteProperty<I2>("Alignment", static_cast<I2>(alignment_), kLeft);
    bag.WriteProperty<bool>("WordWrap", wordWrap_, false);
    WriteFont(bag, "Font", font_, FormFont(*this));
    bag.WriteProperty<bool>("Enabled", Enabled(), true);
}

bool Label::CreateControlWindow(HWND parent, const RECT& r) {
    CreateArgs args = CreateArgs::At(r, parent);
    args.style = ChildStyle();
    return CreateWindowObject(args);
}

void Label::Redraw() {
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void Label::SetCaption(const std::string& caption) {
    Restyle(caption_, caption);
    AnnounceChange(*this, EVENT_OBJECT_NAMECHANGE);
}

long Label::AccessibleRole() const { return ROLE_SYSTEM_STATICTEXT; }

std::wstring Label::AccessibleName() const { return SpokenCaption(Widen(caption_, CP_ACP)); }

void Label::SetSystemTextColour(std::optional<int> index) {
    if (index == systemTextColour_) return;
    systemTextColour_ = index;
    Redraw();
}
void Label::SetFont(std::shared_ptr<host::Font> font) {
    Restyle(font_, font ? std::move(font) : std::make_shared<host::Font>());
}
void Label::SetForeColor(OleColor color) { Restyle(foreColor_, color); }
void Label::SetBackColor(OleColor color) { Restyle(backColor_, color); }
void Label::SetBackStyle(int style) { Restyle(backStyle_, style); }
void Label::SetAlignment(int alignment) { Restyle(alignment_, alignment); }
void Label::SetWordWrap(bool wrap) { Restyle(wordWrap_, wrap); }
void Label::SetRightToLeft(bool rtl) { Restyle(rightToLeft_, rtl); }

void Label::Paint(HDC dc) {
    RECT r{};
    GetClientRect(hWnd(), &r);
    if (backStyle_ == 0) {
        PaintParentBackground(hWnd(), dc);
    } else {
        unique_brush back(CreateSolidBrush(ResolveColor(backColor_)));
        FillRect(dc, &r, back.get());
    }
    unique_font font = CreateFontHandle(*font_);
    SelectObjectScope selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    const COLORREF text = systemTextColour_ ? GetSysColor(*systemTextColour_)
                          : Enabled()       ? ResolveColor(foreColor_)
                                            : GetSysColor(COLOR_GRAYTEXT);
    SetTextColor(dc, text);
    UINT format = wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
    if (alignment_ == kRight) format |= DT_RIGHT;
    if (alignment_ == kCenter) format |= DT_CENTER;
    if (rightToLeft_) format |= DT_RTLREADING;
    DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, format);
}

// ---- Image ----

void Image::ReadDesignProperties(const PropertyBag& bag) {
    Control::ReadDesignProperties(bag);
    SetStretch(bag.ReadProperty<bool>("Stretch", false));
    SetPicture(ReadPicture(bag, "Picture"));
}

void Image::WriteDesignProperties(PropertyBag& bag) const {
    Control::WriteDesignProperties(bag);
    bag.WriteProperty<bool>("Stretch", stretch_, false);
    WritePicture(bag, "Picture", picture_);
}

bool Image::CreateControlWindow(HWND parent, const RECT& r) {
    CreateArgs args = CreateArgs::At(r, parent);
    args.style = ChildStyle();
    return CreateWindowObject(args);
}

void Image::SetPicture(PicturePtr picture) {
    picture_ = std::move(picture);
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void Image::SetStretch(bool stretch) {
    stretch_ = stretch;
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void Image::Paint(HDC dc) {
    PaintParentBackground(hWnd(), dc);
    if (!picture_) return;
    RECT r{};
    GetClientRect(hWnd(), &r);
    if (stretch_) {
        picture_->Render(dc, 0, 0, r.right, r.bottom);
    } else {
        picture_->Render(dc, 0, 0);
    }
}

// ---- Timer ----

void Timer::ReadDesignProperties(const PropertyBag& bag) {
    SetInterval(bag.ReadProperty<I4>("Interval", 0));
    SetEnabled(bag.ReadProperty<bool>("Enabled", true));
}

void Timer::WriteDesignProperties(PropertyBag& bag) const {
    bag.WriteProperty<I4>("Interval", interval_, 0);
    bag.WriteProperty<bool>("Enabled", Enabled(), true);
}

Timer::~Timer() {
    if (owner_) owner_->StopTimer(reinterpret_cast<UINT_PTR>(this));
}

bool Timer::CreateControlWindow(HWND parent, const RECT&) {
    owner_ = Window::FromHandle(parent);
    Rearm();
    return owner_ != nullptr;
}

void Timer::SetEnabled(bool enabled) {
    Control::SetEnabled(enabled);
    Rearm();
}

void Timer::SetInterval(int milliseconds) {
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    Rearm();
}

void Timer::Rearm() {
    if (!owner_) return;
    const auto id = reinterpret_cast<UINT_PTR>(this);
    if (!Enabled() || interval_ == 0) {
        owner_->StopTimer(id);
        return;
    }
    owner_->StartTimer(id, static_cast<UINT>(interval_), [this] {
        if (OnTick) OnTick();
    });
}

}  // namespace host
