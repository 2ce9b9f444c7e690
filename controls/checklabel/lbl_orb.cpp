#include "controls/checklabel/lbl_orb.h"

#include <oleacc.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "controls/checklabel/caption_text.h"
#include "controls/checklabel/check_plan.h"
#include "controls/checklabel/twips.h"
#include "host/app.h"
#include "host/high_contrast.h"
#include "host/wide_text.h"

namespace checklabel {

namespace {

using host::DrawingSurface;

constexpr int kPicCheckSize = 240;  // twips, 16 pixels at 15 twips per pixel
constexpr int kStripImage = 16;     // pixels of one picture-strip image

std::int32_t P() { return host::App::TwipsPerPixelX(); }
std::int32_t Q() { return host::App::TwipsPerPixelY(); }

// Captions are kept wide; the property store holds them as UTF-8.
std::wstring FromUtf8(const std::string& text) { return host::Widen(text, CP_UTF8); }
std::string ToUtf8(const std::wstring& text) { return host::Narrow(text, CP_UTF8); }

// The character a window of this program receives with Alt for a key letter.
std::string AccessKeyChars(wchar_t key) {
    char narrow[8]{};
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, &key, 1, narrow, sizeof narrow, nullptr, &lost);
    return n > 0 && !lost ? std::string(narrow, static_cast<std::size_t>(n)) : std::string();
}

// A field's value as the property store holds it, and back.
host::PropertyValue ToStored(Colour v) { return host::I4(static_cast<std::int32_t>(v)); }
host::PropertyValue ToStored(std::int32_t v) { return host::I4(v); }
host::PropertyValue ToStored(std::int16_t v) { return host::I2(v); }
host::PropertyValue ToStored(bool v) { return v; }
host::PropertyValue ToStored(const std::wstring& v) { return ToUtf8(v); }

void FromStored(const host::PropertyValue& s, Colour& v) { v = static_cast<Colour>(std::get<host::I4>(s)); }
void FromStored(const host::PropertyValue& s, std::int32_t& v) { v = std::get<host::I4>(s); }
void FromStored(const host::PropertyValue& s, std::int16_t& v) { v = std::get<host::I2>(s); }
void FromStored(const host::PropertyValue& s, bool& v) { v = std::get<bool>(s); }
void FromStored(const host::PropertyValue& s, std::wstring& v) { v = FromUtf8(std::get<std::string>(s)); }

// A row's default in the field's own width: a whole number stored with a 16-bit default is
// read and written as wide as its field, so that a save followed by a load gives it back.
host::PropertyValue StoredDefault(const PersistedProperty& row) {
    const std::int32_t n = row.defaultValue.number;
    switch (row.type) {
    case ValueType::Int16: return host::I2(static_cast<std::int16_t>(n));
    case ValueType::Boolean: return n != 0;
    case ValueType::String: return ToUtf8(std::wstring(row.defaultValue.text));
    case ValueType::Int32:
    case ValueType::Colour:
    default: return host::I4(n);
    }
}

// A value equal to its default is not stored.
void WriteValue(host::PropertyBag& bag, std::string_view key, host::PropertyValue value,
                const host::PropertyValue& byDefault) {
    if (value == byDefault) {
        bag.Remove(key);
    } else {
        bag.Set(key, std::move(value));
    }
}

// A picture key holds a picture or nothing; any other object is a stored error.
host::PicturePtr ReadPicture(const host::PropertyBag& bag, std::string_view key) {
    const host::PropertyValue stored = bag.ReadValue(key, host::NoObject{});
    if (const auto* source = std::get_if<host::PictureSource>(&stored)) return host::App::LoadPicture(*source);
    if (!std::holds_alternative<host::NoObject>(stored)) {
        throw host::PropertyError(host::PropertyError::Kind::TypeMismatch, std::string(key),
                                  std::string(host::PropertyTypeName(stored)) + " is not a Picture");
    }
    return nullptr;
}

host::PropertyValue StoredPicture(const host::PicturePtr& picture) {
    if (picture && picture->Source()) return *picture->Source();
    return host::NoObject{};
}

}  // namespace

// PicCheck: a picture box that takes the focus on a press and tells the control about its
// focus and its characters.
class FocusPictureBox : public host::PictureBox {
public:
    FocusPictureBox(std::string name, lblOrb& owner) : PictureBox(std::move(name)), owner_(owner) {}

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (GetFocus() != hWnd()) SetFocus(hWnd());
            break;
        case WM_SETFOCUS:
            owner_.PicCheckFocus(true);
            return 0;
        case WM_KILLFOCUS:
            owner_.PicCheckFocus(false);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS;
        case WM_CHAR: {
            int key = static_cast<int>(wParam);
            owner_.KeyPress(key);
            return 0;
        }
        }
        return PictureBox::HandleMessage(message, wParam, lParam);
    }

private:
    lblOrb& owner_;
};

lblOrb::lblOrb(std::string name, std::optional<int> index) : UserControl(std::move(name), index) {}

lblOrb::~lblOrb() = default;

host::PictureBox& lblOrb::PicCheck() { return Box(); }

FocusPictureBox& lblOrb::Box() {
    if (!picCheck_) {
        picCheck_ = &AddConstituent<FocusPictureBox>("PicCheck", *this);
        picCheck_->SetBorderStyle(0);
        picCheck_->Move(0, 0, kPicCheckSize, kPicCheckSize);
        picCheck_->SetAutoRedraw(true);
        picCheck_->OnMouseDown = [this](int b, int s, double x, double y) { PicCheck_MouseDown(b, s, x, y); };
        picCheck_->OnMouseMove = [this](int b, int s, double x, double y) { PicCheck_MouseMove(b, s, x, y); };
        picCheck_->OnMouseUp = [this](int b, int s, double x, double y) { PicCheck_MouseUp(b, s, x, y); };
        if (f_.IsLabel) DrawControl();  // a label's box lies outside the control: put it there
    }
    return *picCheck_;
}

int lblOrb::BoxWidth() const {
    if (picCheck_) return picCheck_->Width();
    return static_cast<int>(std::lround(static_cast<double>(kPicCheckSize) / P())) * P();  // whole pixels
}

double lblOrb::BoxInnerWidth() const { return picCheck_ ? picCheck_->ScaleWidth() : BoxWidth(); }
// Made when a picture first comes: most labels never have one, and a hidden window each
// would cost every one of them at start-up.
host::PictureBox& lblOrb::PicTmp() {
    if (!picTmp_) {
        picTmp_ = &AddConstituent<host::PictureBox>("PicTmp");
        picTmp_->SetVisible(false);
        picTmp_->SetBorderStyle(0);
        picTmp_->SetAutoRedraw(true);
    }
    return *picTmp_;
}

HWND lblOrb::FocusWindow() const { return picCheck_ ? picCheck_->hWnd() : hWnd(); }

// ---- creation and persistence ----------------------------------------------------------

void lblOrb::Initialize() {
    // The focus goes to PicCheck, never to the surface.
    SetCanGetFocus(false);
    SetAutoRedraw(true);
}

void lblOrb::InitProperties() {
    UserControl::SetFont(Ambient().Font);
    f_.ForeColor = UserControl::ForeColor();
    if (!f_.IsLabel) Box();
}

void lblOrb::ReadProperties(host::PropertyBag& bag) {
    for (const PersistedProperty& row : PersistedProperties) {
        switch (row.id) {
        case PropertyId::BackColor:
            UserControl::SetBackColor(static_cast<Colour>(bag.ReadProperty<host::I4>(row.key, static_cast<host::I4>(ButtonFace))));
            break;
        case PropertyId::Font: {
            auto ambient = Ambient().Font;
            UserControl::SetFont(bag.Contains(row.key)
                                     ? std::make_shared<host::Font>(bag.ReadProperty(row.key, *ambient))
                                     : ambient);
            break;
        }
        case PropertyId::MouseIcon:
            UserControl::SetMouseIcon(ReadPicture(bag, row.key));
            break;
        case PropertyId::MousePointer:
            UserControl::SetMousePointer(static_cast<std::int16_t>(bag.ReadProperty<host::I4>(row.key, 0)));
            break;
        case PropertyId::Picture:
            PlacePicture(ReadPicture(bag, row.key));
            break;
        default:
            VisitField(f_, row.id, [&](auto& field) { FromStored(bag.ReadValue(row.key, StoredDefault(row)), field); });
            break;
        }
        if (row.id == RightToLeftAppliedAfter) UserControl::SetRightToLeft(f_.RightToLeft);
    }
    if (!f_.IsLabel) Box();
}

void lblOrb::WriteProperties(host::PropertyBag& bag) {
    for (PropertyId id : SaveOrder) {
        const PersistedProperty& row = PropertyRow(id);
        switch (id) {
        case PropertyId::BackColor:
            WriteValue(bag, row.key, ToStored(UserControl::BackColor()), ToStored(ButtonFace));
            break;
        case PropertyId::Font:
            WriteValue(bag, row.key, *GetFont(), *Ambient().Font);
            break;
        case PropertyId::MouseIcon:
            WriteValue(bag, row.key, StoredPicture(MouseIcon()), host::NoObject{});
            break;
        case PropertyId::MousePointer:
            WriteValue(bag, row.key, host::I4(MousePointer()), host::I4(0));
            break;
        case PropertyId::Picture:
            WriteValue(bag, row.key, StoredPicture(Picture()), host::NoObject{});
            break;
        default:
            VisitField(f_, id, [&](auto& field) { WriteValue(bag, row.key, ToStored(field), StoredDefault(row)); });
            break;
        }
    }
}

void lblOrb::Show() {
    f_.Shown = true;
    if (f_.AutoSize) AutoSizeControl();
    DrawControl();
}

// ---- properties --------------------------------------------------------------------------

void lblOrb::SetField(PropertyId id, FieldValue value) {
    VisitField(f_, id, [&](auto& field) { field = std::get<std::decay_t<decltype(field)>>(std::move(value)); });
    AfterSet(id);
}

void lblOrb::AfterSet(PropertyId id) {
    const SetEffects& effects = PropertyRow(id).onSet;
    if (id == PropertyId::RightToLeft) UserControl::SetRightToLeft(f_.RightToLeft);
    if (effects.notify) PropertyChanged(std::string(PropertyRow(id).key));
    if (effects.repaint) DrawControl();
    if (effects.autoSize == AutoSizeOnSet::Always ||
        (effects.autoSize == AutoSizeOnSet::WhenAutoSize && f_.AutoSize)) {
        AutoSizeControl();
    }
    if (id == PropertyId::Checked) AfterCheckedSet();
}

void lblOrb::AfterCheckedSet() {
    if (f_.IsOption && f_.Checked && IsInControlArray()) ClearOptionSiblings();
    OnCheckClick(f_.Checked);
}

void lblOrb::SetBackColor(Colour v) {
    UserControl::SetBackColor(v);
    AfterSet(PropertyId::BackColor);
}

void lblOrb::SetFont(std::shared_ptr<host::Font> font) {
    UserControl::SetFont(std::move(font));
    AfterSet(PropertyId::Font);
}

void lblOrb::SetMouseIcon(host::PicturePtr icon) {
    UserControl::SetMouseIcon(std::move(icon));
    UserControl::SetMousePointer(MousePointer());  // the pointer over the control changes now
    AfterSet(PropertyId::MouseIcon);
}

void lblOrb::SetMousePointer(int pointer) {
    UserControl::SetMousePointer(static_cast<std::int16_t>(pointer));
    AfterSet(PropertyId::MousePointer);
}

const host::PicturePtr& lblOrb::Picture() const {
    static const host::PicturePtr none;
    return picTmp_ ? picTmp_->GetPicture() : none;
}

void lblOrb::SetPicture(host::PicturePtr picture) {
    PlacePicture(std::move(picture));
    AfterSet(PropertyId::Picture);
}

// PicTmp takes the picture's size first, so that its persistent image holds the whole strip.
void lblOrb::PlacePicture(host::PicturePtr picture) {
    if (!picture && !picTmp_) return;  // nothing to hold, nothing held
    if (picture) {
        PicTmp().Move(0, 0, picture->Width() * P(), picture->Height() * Q());
    }
    PicTmp().SetPicture(std::move(picture));
}

void lblOrb::SetMarshallChecked(bool value) {
    f_.Checked = value;
    PropertyChanged("Checked");
    DrawControl();
}

bool lblOrb::SetPropertyByName(std::string_view name, const host::PropertyValue& value) {
    if (host::KeysEqual(name, "MarshallChecked")) {
        SetMarshallChecked(std::get<bool>(host::ConvertProperty(value, false, name)));
        return true;
    }
    for (const PersistedProperty& row : PersistedProperties) {
        if (row.holder != Holder::Field || !host::KeysEqual(name, row.key)) continue;
        const host::PropertyValue converted = host::ConvertProperty(value, StoredDefault(row), name);
        FieldValue next;
        VisitField(f_, row.id, [&](auto& field) {
            auto copy = field;
            FromStored(converted, copy);
            next = std::move(copy);
        });
        SetField(row.id, std::move(next));
        return true;
    }
    return UserControl::SetPropertyByName(name, value);
}

std::optional<host::PropertyValue> lblOrb::GetPropertyByName(std::string_view name) const {
    for (const PersistedProperty& row : PersistedProperties) {
        if (row.holder != Holder::Field || !host::KeysEqual(name, row.key)) continue;
        std::optional<host::PropertyValue> out;
        VisitField(f_, row.id, [&](const auto& field) { out = ToStored(field); });
        return out;
    }
    return UserControl::GetPropertyByName(name);
}

void lblOrb::AutoSizeControl() {
    const auto widthOf = [this](std::wstring_view text) { return TextWidthOf(text); };
    Extender().SetWidth(AutoSizeWidth(f_.Caption, widthOf, f_.IsLabel, BoxWidth(), P()));
}

// ---- drawing -----------------------------------------------------------------------------

void lblOrb::DrawControl() {
    if (!f_.IsLabel) Box();  // a check box or option button shows its box
    if (!f_.Shown) return;
    DrawingSurface& surface = Surface();

    const bool highContrast = host::HighContrast();
    const CheckLabelFields look = highContrast ? HighContrastLook() : f_;
    if (look.TransparentBackground) {
        UserControl::SetBackStyle(DrawingSurface::kBackTransparent);
        ClearToContainer();
    } else {
        Cls();
        if (highContrast) FillWithSystemColour(COLOR_WINDOW);
    }

    BoxColours colours = PlanBoxColours(look);
    if (highContrast) {
        colours.EdgeColors.fill(look.ForeColor);
        colours.PicCheckBackColor = GetSysColor(COLOR_WINDOW);
    }
    if (picCheck_) picCheck_->SetBackColor(colours.PicCheckBackColor);  // also clears the box

    const std::wstring stripped = StripAmpersands(f_.Caption);
    const CaptionMeasures text{TextWidthOf(stripped), TextHeightOf(stripped), TextHeightOf(f_.Caption)};
    Metrics metrics;
    metrics.P = P();
    metrics.Q = Q();
    metrics.SurfaceInnerWidth = RoundTwips(ScaleWidth());
    metrics.SurfaceInnerHeight = RoundTwips(ScaleHeight());
    metrics.ControlWidth = Extender().Width();
    metrics.PicCheckWidth = BoxWidth();
    metrics.PicCheckInnerWidth = RoundTwips(BoxInnerWidth());
    const Layout layout = PlanLayout(look, metrics, text);
    if (picCheck_) DrawBox(colours, metrics, layout);

    for (const CaptionPrint& print : PlanCaptionPrints(look, layout)) {
        SetCurrentX(print.at.x);
        SetCurrentY(print.at.y);
        surface.SetForeColor(print.colour);
        PrintCaption(f_.Caption);
        HDC dc = surface.hDC();
        Colour hoverColour = HoverEventColour;
        Colour& eventColour = print.eventColour == EventColour::ForeColorField           ? f_.ForeColor
                              : print.eventColour == EventColour::DisabledForeColorField ? f_.DisabledForeColor
                                                                                         : hoverColour;
        OnAfterDrawCaption(dc, eventColour);
    }

    for (const Point& p : FocusRectanglePoints(look, metrics, text, layout)) {
        surface.PSet(p.x, p.y, look.FocusRectColor);
    }

    if (!picCheck_) return;  // a label without a box has no mark to show
    if (look.StyleEx == PictureStripStyle) {
        DrawPictureStrip();
    } else if (f_.Checked) {
        DrawCheck(colours.EdgeColors[Mark], f_.CheckStyle, f_.BoxStyle);
    }
}

// High contrast: the fields as they are drawn, with the system's window colours for the
// control's own, no hot tracking and no picture strip, and the focus shown while the box
// has it, whatever ShowFocusRect says.
CheckLabelFields lblOrb::HighContrastLook() const {
    CheckLabelFields look = f_;
    const Colour text = GetSysColor(COLOR_WINDOWTEXT);
    look.ForeColor = text;
    look.DisabledForeColor = GetSysColor(COLOR_GRAYTEXT);
    look.CheckColor = text;
    look.BoxColor = GetSysColor(COLOR_WINDOW);
    look.BorderColor = text;
    look.FocusRectColor = text;
    look.CustomColors.fill(text);
    look.TransparentBackground = false;
    look.HotTracking = false;
    look.StyleEx = 0;
    look.ShowFocusRect = true;
    look.HasFocus = f_.Enabled && picCheck_ && GetFocus() == picCheck_->hWnd();
    return look;
}

void lblOrb::FillWithSystemColour(int index) {
    RECT all{};
    GetClientRect(hWnd(), &all);
    FillRect(Surface().hDC(), &all, GetSysColorBrush(index));
    Surface().Changed();
}

// The box's face (option circles or box lines), and the box moved to where the layout puts it.
void lblOrb::DrawBox(const BoxColours& colours, const Metrics& metrics, const Layout& layout) {
    host::PictureBox& box = *picCheck_;
    DrawingSurface& boxSurface = box.Surface();
    if (f_.IsOption) {
        box.SetFillStyle(DrawingSurface::kFillTransparent);
        for (const ColouredCircle& c : OptionCircles(colours, metrics.P, metrics.Q)) {
            boxSurface.Circle(c.circle.centre.x, c.circle.centre.y, c.circle.radius, c.colour);
        }
    } else {
        box.SetFillStyle(DrawingSurface::kFillSolid);
        for (const checklabel::Line& l : BoxLines(colours, metrics.P)) {
            boxSurface.Line(l.from.x, l.from.y, l.to.x, l.to.y, l.colour);
        }
    }
    box.Move(layout.BoxLeft.value_or(box.Left()), layout.Top, box.Width(), box.Height());
}

// The transparent look: what the container shows behind the control, under the drawing.
void lblOrb::ClearToContainer() {
    host::PaintParentBackground(hWnd(), Surface().hDC());
    SetCurrentX(0);
    SetCurrentY(0);
    Surface().Changed();
}

void lblOrb::DrawPictureStrip() {
    const StripRows rows = PictureStripRows(f_.Checked, f_.Enabled);
    HDC target = picCheck_->hDC();
    HDC strip = PicTmp().hDC();
    BitBlt(target, 0, 0, kStripImage, kStripImage, strip, 0, rows.first, SRCCOPY);
    if (rows.overlay) BitBlt(target, 0, 0, kStripImage, kStripImage, strip, 0, *rows.overlay, SRCCOPY);
    picCheck_->Surface().Changed();
}

void lblOrb::DrawCheck(Colour markColour, std::int32_t checkStyle, std::int32_t boxStyle) {
    DrawingSurface& s = picCheck_->Surface();
    s.SetFillStyle(DrawingSurface::kFillTransparent);
    s.SetDrawWidth(f_.CheckDrawWidth);
    const auto W = static_cast<std::int16_t>(picCheck_->Width());
    const MarkSize size = MarkSizeFor(boxStyle, P());

    switch (MarkShapeFor(checkStyle)) {
    case MarkShape::Tick:
        for (const Point& p : TickPoints(W, P(), Q())) s.PSet(p.x, p.y, markColour);
        break;
    case MarkShape::FilledSquare:
    case MarkShape::OutlinedSquare: {
        const Square sq = MarkSquare(size);
        s.Box(sq.topLeft.x, sq.topLeft.y, sq.bottomRight.x, sq.bottomRight.y, markColour,
              MarkShapeFor(checkStyle) == MarkShape::FilledSquare);
        break;
    }
    case MarkShape::Dot: {
        s.SetFillStyle(DrawingSurface::kFillSolid);
        s.SetFillColor(markColour);
        const checklabel::Circle c = DotCircle(size, P(), Q());
        s.Circle(c.centre.x, c.centre.y, c.radius, markColour);
        break;
    }
    case MarkShape::Ring: {
        const checklabel::Circle c = RingCircle(size, P(), Q());
        s.Circle(c.centre.x, c.centre.y, c.radius, markColour);
        break;
    }
    case MarkShape::Chequer: {
        const Colour background = s.BackColor();
        s.PSetMany(ChequerPoints(size), [&](const ChequerPoint& p) {
            return DrawingSurface::ColouredPoint{static_cast<double>(p.at.x), static_cast<double>(p.at.y),
                                                 p.background ? background : markColour};
        });
        break;
    }
    case MarkShape::None:
        break;
    }
    s.SetDrawWidth(1);
}

void lblOrb::PrintCaption(const std::wstring& caption) {
    const auto widthOf = [this](std::wstring_view text) { return TextWidthOf(text); };
    const CaptionPlan plan = PlanCaption(caption, f_.WordWrap, ScaleWidth(), widthOf);
    // A caption without "&" has no access key: the letter of an earlier caption goes.
    if (plan.kind != CaptionPlan::Kind::AccessKey) SetAccessKeys("");
    switch (plan.kind) {
    case CaptionPlan::Kind::Nothing:
        return;
    case CaptionPlan::Kind::AccessKey: {
        const double x = CurrentX();
        PrintText(plan.FirstLine, false);
        SetCurrentX(x + plan.UnderlineOffset);
        SetFontUnderline(true);
        PrintText(std::wstring(1, plan.Underlined), false);
        SetFontUnderline(false);
        SetAccessKeys(AccessKeyChars(plan.AccessKey));
        return;
    }
    case CaptionPlan::Kind::OneLine:
        PrintText(plan.FirstLine, false);
        return;
    case CaptionPlan::Kind::TwoLines:
        PrintText(plan.FirstLine, true);
        PrintText(plan.SecondLine, true);
        return;
    }
}

// The surface's Print for wide text: at the current position, in its colour and font.
void lblOrb::PrintText(std::wstring_view text, bool lineBreak) {
    DrawingSurface& s = Surface();
    HDC dc = s.hDC();
    if (!dc) return;
    TextOutW(dc, s.ToPixelsX(CurrentX()), s.ToPixelsY(CurrentY()), text.data(), static_cast<int>(text.size()));
    if (lineBreak) {
        SetCurrentX(0);
        SetCurrentY(CurrentY() + s.TextHeight(""));
    } else {
        SetCurrentX(CurrentX() + TextWidthOf(text));
    }
    s.Changed();
}

double lblOrb::TextWidthOf(std::wstring_view text) const {
    HDC dc = const_cast<lblOrb*>(this)->Surface().hDC();
    SIZE size{};
    if (dc) GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx * UnitsPerPixelX();
}

double lblOrb::TextHeightOf(std::wstring_view text) const {
    const auto lines = 1 + std::count(text.begin(), text.end(), L'\n');
    return static_cast<double>(lines) * const_cast<lblOrb*>(this)->Surface().TextHeight("");
}

// ---- input -------------------------------------------------------------------------------

void lblOrb::MouseDown(int button, int shift, double x, double y) {
    if (GetFocus() != PicCheck().hWnd()) ::SetFocus(PicCheck().hWnd());
    if (f_.Enabled) PicCheck_MouseDown(button, shift, x, y);
}

void lblOrb::MouseMove(int button, int shift, double x, double y) {
    // While the hover capture is held the leave must be seen, enabled or not; otherwise a
    // disabled control would keep every mouse message of the window.
    if (f_.Enabled || GetCapture() == hWnd()) PicCheck_MouseMove(button, shift, x, y);
}

void lblOrb::MouseUp(int button, int shift, double x, double y) {
    if (f_.Enabled) PicCheck_MouseUp(button, shift, x, y);
}

void lblOrb::KeyPress(int& keyAscii) {
    if (keyAscii == ' ' && f_.HasFocus) PicCheck_MouseDown(1, 0, 0, 0);
}

void lblOrb::AccessKeyPress(int) { ::SetFocus(PicCheck().hWnd()); }

void lblOrb::PicCheckFocus(bool gained) {
    if (!f_.Enabled || !f_.ShowFocusRect) {
        if (host::HighContrast()) DrawControl();  // high contrast shows the focus always
        return;
    }
    f_.HasFocus = gained;
    DrawControl();
}

void lblOrb::PicCheck_MouseDown(int button, int shift, double x, double y) {
    if (button != 1 || !f_.Enabled) return;
    if (f_.IsOption) {
        f_.Checked = true;
        if (IsInControlArray()) ClearOptionSiblings();
    } else {
        f_.Checked = !f_.Checked;
    }
    DrawControl();
    AnnounceStateChange();
    OnCheckClick(f_.Checked);
    if (f_.HotTracking && !f_.IsLabel) RestoreForeColor();
    DrawControl();
    host::I2 b = static_cast<host::I2>(button), s = static_cast<host::I2>(shift);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    OnMouseDown(b, s, fx, fy);
}

void lblOrb::PicCheck_MouseMove(int button, int shift, double x, double y) {
    host::I2 b = static_cast<host::I2>(button), s = static_cast<host::I2>(shift);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const bool outside = x > ScaleWidth() || x < 0 || y > ScaleHeight() || y < 0;
    if (outside) {
        if (f_.HotTracking && !f_.IsLabel) RestoreForeColor();
        DrawControl();
        host::I4 state = 2;
        OnMouseMove(b, s, fx, fy, state);
        ReleaseCapture();
    } else if (GetCapture() != hWnd()) {
        if (f_.HotTracking && !f_.IsLabel) {
            // After a lost capture the pointer enters again with TrackingColor still shown:
            // the colour put aside then is the caption's own and must stay.
            if (!trackingShown_) f_.SavedForeColor = f_.ForeColor;
            f_.ForeColor = f_.TrackingColor;
            trackingShown_ = true;
        }
        host::I4 state = 1;
        OnMouseMove(b, s, fx, fy, state);
        SetCapture(hWnd());
        DrawControl();
    }
}

void lblOrb::PicCheck_MouseUp(int button, int shift, double x, double y) {
    host::I2 b = static_cast<host::I2>(button), s = static_cast<host::I2>(shift);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    OnMouseUp(b, s, fx, fy);
    if (f_.HotTracking && !f_.IsLabel) RestoreForeColor();
}

// Puts back the colour hot tracking put aside; nothing when it never put one aside.
void lblOrb::RestoreForeColor() {
    if (!trackingShown_) return;
    f_.ForeColor = f_.SavedForeColor;
    trackingShown_ = false;
}

bool lblOrb::IsInControlArray() {
    const std::optional<int> index = Extender().Index();
    return index && static_cast<std::int16_t>(*index) >= 0;
}

void lblOrb::ClearOptionSiblings() {
    const std::string& name = Extender().Name();
    const std::optional<int> index = Extender().Index();
    for (host::Control* control : ParentControls()) {
        if (control == this || control->Name() != name || control->Index() == index) continue;
        if (auto* sibling = dynamic_cast<host::UserControl*>(control)) {
            sibling->SetPropertyByName("MarshallChecked", false);
        }
    }
}

// ---- assistive technology ----------------------------------------------------------------

long lblOrb::AccessibleRole() const {
    if (!f_.IsLabel) return f_.IsOption ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
    const long given = UserControl::AccessibleRole();
    return given != ROLE_SYSTEM_CLIENT ? given : ROLE_SYSTEM_STATICTEXT;
}

std::wstring lblOrb::AccessibleName() const { return host::SpokenCaption(f_.Caption); }

long lblOrb::AccessibleState() const { return !f_.IsLabel && f_.Checked ? STATE_SYSTEM_CHECKED : 0; }

std::wstring lblOrb::AccessibleDefaultAction() const {
    if (f_.IsLabel) return AccessibleRole() == ROLE_SYSTEM_LINK ? L"Jump" : L"";
    if (f_.IsOption) return L"Select";
    return f_.Checked ? L"Uncheck" : L"Check";
}

std::wstring lblOrb::AccessibleShortcut() const {
    return f_.IsLabel ? std::wstring() : host::AccessKeyShortcut(f_.Caption);
}

// What a left click does: a link raises MouseDown, a check box or option button changes.
void lblOrb::DoAccessibleDefaultAction() {
    if (!f_.Enabled) return;
    if (!f_.IsLabel) {
        PicCheck_MouseDown(1, 0, 0, 0);
    } else if (AccessibleRole() == ROLE_SYSTEM_LINK) {
        host::I2 button = 1, shift = 0;
        float x = 0, y = 0;
        OnMouseDown(button, shift, x, y);
    }
}

}  // namespace checklabel
