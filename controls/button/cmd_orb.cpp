#include "controls/button/cmd_orb.h"

#include <oleacc.h>

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>
#include <variant>

#include "controls/button/button_layout.h"
#include "controls/button/button_region.h"
#include "controls/button/button_units.h"
#include "controls/button/face_plan.h"
#include "host/app.h"
#include "support/window_helpers.h"
#include "host/color.h"
#include "host/font_handle.h"
#include "host/handles.h"
#include "host/high_contrast.h"
#include "host/wide_text.h"
#include "support/cls_dc.h"

namespace {

using cmdorb::PropertyId;
using cmdorb::PropertyType;
using cmdorb::StoredProperty;
using host::I2;
using host::I4;
using host::PropertyValue;

constexpr const char* kNormal = "NORM";
constexpr const char* kHigh = "HIGH";
constexpr I2 kSpace = 32;

std::int32_t TwipsPerPixelX() { return host::App::TwipsPerPixelX(); }
std::int32_t TwipsPerPixelY() { return host::App::TwipsPerPixelY(); }

// A position plus a shift in twips, kept inside the 32-bit range.
int Shifted(int position, std::int32_t by) {
    const auto sum = static_cast<std::int64_t>(position) + by;
    return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
}

// A number or Boolean of a stored value; a Boolean true is -1, as the fields keep it.
I4 AsNumber(const PropertyValue& value) {
    if (auto* v = std::get_if<I2>(&value)) return *v;
    if (auto* v = std::get_if<I4>(&value)) return *v;
    if (auto* v = std::get_if<host::UI1>(&value)) return *v;
    if (auto* v = std::get_if<bool>(&value)) return *v ? cmdorb::kTrue : cmdorb::kFalse;
    return 0;
}

// A number as a value of the given type (numbers are already in the type's range).
PropertyValue NumberOfType(PropertyType type, I4 number) {
    switch (type) {
        case PropertyType::I2: return static_cast<I2>(number);
        case PropertyType::UI1: return static_cast<host::UI1>(number);
        case PropertyType::Bool: return number != 0;
        default: return number;
    }
}

host::PicturePtr PictureOf(const PropertyValue& value) {
    if (auto* source = std::get_if<host::PictureSource>(&value)) return host::App::LoadPicture(*source);
    return nullptr;
}

// A picture is stored by where it came from; one made in code has nowhere to be loaded from.
PropertyValue StoredPicture(const host::PicturePtr& picture) {
    if (picture && picture->Source()) return *picture->Source();
    return host::NoObject{};
}

}  // namespace

cmdOrb::cmdOrb(std::string name, std::optional<int> index) : UserControl(std::move(name), index) {
    cmdorb::TakeDefaults(m, false);
}

// ---------------------------------------------------------------- creation and storage

void cmdOrb::Initialize() {
    // Drawing goes to the persistent image, so the face survives repaints between DrawFaces.
    SetAutoRedraw(true);
    lCaption = &AddConstituent<host::Label>("lCaption");
    lCaption->SetBackStyle(0);
    Ico = &AddConstituent<host::Image>("Ico");
    CheckedIco = &AddConstituent<host::Image>("CheckedIco");
    CheckedIco->SetVisible(false);
    for (host::Image* image : {Ico, CheckedIco}) image->SetStretch(true);

    // The caption and the icon lie on the face: a press or a release on them is the control's
    // own, at the same point of the face, so a click on the caption is a whole click
    // (MouseDown, the press shift, MouseUp, Click). A move is the control's move in the
    // constituent's own coordinates.
    const auto forward = [this](auto& constituent) {
        host::Control& place = constituent;
        constituent.OnMouseDown = [this, &place](int button, int shift, double x, double y) {
            MouseDown(button, shift, x + place.Left(), y + place.Top());
        };
        constituent.OnMouseMove = [this](int button, int shift, double x, double y) {
            if (Enabled()) MouseMove(button, shift, x, y);
        };
        constituent.OnMouseUp = [this, &place](int button, int shift, double x, double y) {
            MouseUp(button, shift, x + place.Left(), y + place.Top());
        };
    };
    forward(*lCaption);
    forward(*Ico);
}

void cmdOrb::InitProperties() { cmdorb::TakeDefaults(m, true); }

// The default in the type of the key's field: the store converts a stored value to the
// default's type, and a value fails only when it does not fit the field (40000 fits the
// 32-bit ButtonClickHeight, whose stored default is a 16-bit 30).
PropertyValue cmdOrb::DefaultOf(const StoredProperty& key) const {
    switch (key.type) {
        case PropertyType::Str: return std::string(key.text);
        case PropertyType::Obj:
            if (key.object == cmdorb::ObjectDefault::AmbientFont) return *Ambient().Font;
            return host::NoObject{};
        default: return NumberOfType(key.type, key.number);
    }
}

// Reads every key in order. A value that does not fit its field ends the reading with a
// PropertyError for the host: the keys before it keep their values and `Loaded` stays false.
void cmdOrb::ReadProperties(host::PropertyBag& bag) {
    Ico->SetEnabled(true);
    for (const StoredProperty& key : cmdorb::kReadOrder) {
        const PropertyValue stored = bag.ReadValue(key.key, DefaultOf(key));
        if (key.HoldsField()) {
            cmdorb::StoreNumber(m, key, AsNumber(stored));
        } else {
            LoadOwnProperty(key.id, stored);
        }
        if (key.id == cmdorb::kIcoDisabledAfter) Ico->SetEnabled(false);
    }
    m.Loaded = true;
    Relayout();
}

// The keys the control and its constituents hold go where their setters put them, most
// without the setters' effects; RightToLeft, Font and MouseIcon go through their setters
// (RightToLeft does no more than that before the instance is loaded).
void cmdOrb::LoadOwnProperty(Id id, const PropertyValue& stored) {
    const I4 n = AsNumber(stored);
    switch (id) {
        case Id::ForeColor:
            lCaption->SetForeColor(static_cast<Colour>(n));
            m.ForeColor = lCaption->ForeColor();
            break;
        case Id::RightToLeft: SetRightToLeft(n != 0); break;
        case Id::Enabled: Control::SetEnabled(n != 0); break;
        case Id::Font:
            if (auto* font = std::get_if<host::Font>(&stored)) {
                SetFont(std::make_shared<host::Font>(*font));
            }
            break;
        case Id::BorderStyle: SetBorderStyle(n); break;
        case Id::BackStyle: SetBackStyle(n); break;
        case Id::ToolTipText: lCaption->SetToolTipText(std::get<std::string>(stored)); break;
        case Id::Caption: lCaption->SetCaption(std::get<std::string>(stored)); break;
        case Id::MouseIcon: SetMouseIcon(PictureOf(stored)); break;
        case Id::MousePointer: UserControl::SetMousePointer(n); break;
        case Id::Icon: Ico->SetPicture(PictureOf(stored)); break;
        case Id::CheckedIcon: CheckedIco->SetPicture(PictureOf(stored)); break;
        default: break;  // held in a field
    }
}

PropertyValue cmdOrb::OwnStoredValue(Id id) const {
    switch (id) {
        case Id::ForeColor: return static_cast<I4>(lCaption->ForeColor());
        case Id::RightToLeft: return m.RightToLeft;
        case Id::Enabled: return Enabled();
        case Id::Font: return *lCaption->GetFont();
        case Id::BorderStyle: return static_cast<I2>(BorderStyle());
        case Id::BackStyle: return static_cast<I2>(BackStyle());
        case Id::ToolTipText: return lCaption->ToolTipText();
        case Id::Caption: return lCaption->Caption();
        case Id::MouseIcon: return StoredPicture(UserControl::MouseIcon());
        case Id::MousePointer: return static_cast<I2>(UserControl::MousePointer());
        case Id::Icon: return StoredPicture(Ico->GetPicture());
        case Id::CheckedIcon: return StoredPicture(CheckedIco->GetPicture());
        default: return host::NoObject{};  // held in a field
    }
}

// Writes every key in the writing order, with the same defaults the reader uses (in the
// type the key is written as), so a save followed by a load gives every value back.
void cmdOrb::WriteProperties(host::PropertyBag& bag) {
    Ico->SetEnabled(true);
    for (const PropertyId id : cmdorb::kWriteOrder) {
        const StoredProperty& key = cmdorb::Stored(id);
        const PropertyValue value = key.HoldsField()
                                        ? NumberOfType(key.type, cmdorb::NumberOf(m, key))
                                        : OwnStoredValue(id);
        bag.WriteProperty<PropertyValue>(key.key, value, DefaultOf(key));
        if (id == cmdorb::kIcoDisabledAfter) Ico->SetEnabled(false);
    }
}

// ---------------------------------------------------------------- properties

float cmdOrb::Right() {
    return static_cast<float>(Extender().Left()) + static_cast<float>(Extender().Width());
}

void cmdOrb::SetValue(const bool& newValue) {
    if (newValue == m.value) return;
    m.value = newValue;
    ShowControl();
}

cmdOrb::Colour cmdOrb::ForeColor() const { return lCaption->ForeColor(); }

void cmdOrb::SetField(Id id, I4 number) {
    cmdorb::StoreNumber(m, cmdorb::Stored(id), number);
    AfterSet(id);
}

void cmdOrb::SetIconMeasure(Id id, I4 pixels) {
    m.IconSize = cmdorb::kCustomIconSize;
    SetField(id, pixels);
}

void cmdOrb::AfterSet(Id id) {
    const StoredProperty& row = cmdorb::Stored(id);
    if (!cmdorb::AnnouncedFirst(row.onSet)) ApplySetEffect(row);
    PropertyChanged(std::string(row.name));
    for (std::string_view also : row.alsoAnnounced) {
        if (!also.empty()) PropertyChanged(std::string(also));
    }
    if (cmdorb::AnnouncedFirst(row.onSet)) ApplySetEffect(row);
}

void cmdOrb::ApplySetEffect(const StoredProperty& row) {
    switch (row.onSet) {
        case cmdorb::OnSet::AnnounceOnly: break;
        case cmdorb::OnSet::Repaint: DrawFace(m.BackColor1); break;
        case cmdorb::OnSet::ClearAndRepaint:
            Cls();
            DrawFace(m.BackColor1);
            break;
        case cmdorb::OnSet::RepaintOrClear:
            if (cmdorb::NumberOf(m, row) != 0) {
                DrawFace(m.BackColor1);
            } else {
                Cls();
            }
            break;
        case cmdorb::OnSet::FitCaption: FitCaptionLabel(); break;
        case cmdorb::OnSet::RelayoutCaption: LayoutCaption(); break;
        case cmdorb::OnSet::RelayoutIcon: LayoutIcon(); break;
        case cmdorb::OnSet::Reshape: ShowControl(); break;
        case cmdorb::OnSet::Restate: ApplyState(); break;
    }
}

void cmdOrb::SetForeColor(Colour colour) {
    lCaption->SetForeColor(colour);
    m.ForeColor = colour;
    AfterSet(Id::ForeColor);
}

// While loading, only the layout direction changes: no announcement and no reshaping.
void cmdOrb::SetRightToLeft(const bool& rtl) {
    if (rtl == m.RightToLeft) return;
    m.RightToLeft = rtl;
    UserControl::SetRightToLeft(rtl);
    lCaption->SetRightToLeft(rtl);
    if (m.Loaded) AfterSet(Id::RightToLeft);
}

void cmdOrb::SetEnabled(bool enabled) {
    Control::SetEnabled(enabled);
    AfterSet(Id::Enabled);
}

void cmdOrb::SetFont(std::shared_ptr<host::Font> font) {
    lCaption->SetFont(std::move(font));
    AfterSet(Id::Font);
}

void cmdOrb::MoveLeft(const I4& LeftPos) {
    m.SavedLeft = LeftPos;
    Extender().SetLeft(LeftPos);
}

void cmdOrb::MoveTop(const I4& TopPos) {
    m.SavedTop = TopPos;
    Extender().SetTop(TopPos);
}

void cmdOrb::UnHighlight() {
    if (m.Highlighted) m.Highlighted = false;
}

void cmdOrb::SetToolTipText(const std::string& text) {
    lCaption->SetToolTipText(text);
    AfterSet(Id::ToolTipText);
}

cmdOrb::I4 cmdOrb::TranslateColor(Colour oClr, HPALETTE hpal) {
    COLORREF rgb = 0;
    if (!host::TranslateColor(oClr, hpal, rgb)) return -1;
    return static_cast<I4>(rgb);
}

void cmdOrb::SetCaption(const std::string& caption) {
    lCaption->SetCaption(caption);
    AfterSet(Id::Caption);
}

void cmdOrb::SetMouseIcon(host::PicturePtr icon) {
    UserControl::SetMouseIcon(std::move(icon));
    AfterSet(Id::MouseIcon);
}

void cmdOrb::SetMousePointer(I4 pointer) {
    UserControl::SetMousePointer(static_cast<I2>(pointer));
    captionPointer_ = UserControl::MousePointer();
    AfterSet(Id::MousePointer);
}

void cmdOrb::SetIcon(host::PicturePtr icon) {
    Ico->SetPicture(std::move(icon));
    AfterSet(Id::Icon);
}

void cmdOrb::SetCheckedIcon(host::PicturePtr icon) {
    CheckedIco->SetPicture(std::move(icon));
    AfterSet(Id::CheckedIcon);
}

// Six toggles through the `value` write, five waits of 200 ms between them. The form stays
// alive while events run during the waits, even if a handler unloads it meanwhile.
void cmdOrb::FlashControl(bool& /*IsSuccess*/) {
    host::HandlerScope running(hWnd());
    for (int toggle = 0; toggle < 6; ++toggle) {
        if (toggle > 0) windowing::WaitMs(200);
        if (!hWnd()) return;
        SetValue(!m.value);
    }
}

// ---------------------------------------------------------------- shape and paint

void cmdOrb::ApplyRegion(HWND window, std::int32_t height, std::int32_t width, double curvature,
                         std::int32_t x1, std::int32_t y1, std::int32_t mask) {
    if (!m.Shown) return;
    const cmdorb::RegionPlan plan = cmdorb::PlanRegion(width, height, curvature, x1, y1, mask,
                                                       m.RightToLeft, m.DontSwitchRTLSmooth);
    const cmdorb::PixelRect& r = plan.round.rect;
    host::unique_region region(CreateRoundRectRgn(r.left, r.top, r.right, r.bottom,
                                                  plan.round.corner, plan.round.corner));
    if (!region) return;
    if (plan.square) {
        const cmdorb::PixelRect& s = *plan.square;
        host::unique_region square(CreateRectRgn(s.left, s.top, s.right, s.bottom));
        if (square) CombineRgn(region.get(), region.get(), square.get(), RGN_OR);
    }
    // The window owns the region once it has taken it; a refused region is still ours.
    if (SetWindowRgn(window, region.get(), TRUE)) (void)region.release();
}

void cmdOrb::ApplyOwnRegion() {
    const std::int32_t width = cmdorb::PixelsFromTwips(Extender().Width(), TwipsPerPixelX());
    const std::int32_t height = cmdorb::PixelsFromTwips(Extender().Height(), TwipsPerPixelY());
    ApplyRegion(hWnd(), height, width, m.SmoothCurvature, 1, 2, m.StraightSideMask);
}

POINT cmdOrb::CursorInClient() const {
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(hWnd(), &at);
    return at;
}

// Composes the face on an off-screen surface, line by line as the plan says, and copies it
// onto the persistent image in one go. A step that fails is skipped.
void cmdOrb::DrawFace(const Colour& base) {
    if (!m.Shown || !hWnd()) return;
    InvalidateRect(hWnd(), nullptr, FALSE);
    if (host::HighContrast()) {
        DrawSystemColourFace(base != m.BackColor1);
        ShowFaceNow();
        return;
    }
    lCaption->SetSystemTextColour(std::nullopt);

    cmdorb::FaceSettings settings{};
    settings.width = ScaleWidth();
    settings.height = ScaleHeight();
    settings.twipsPerPixelX = TwipsPerPixelX();
    settings.twipsPerPixelY = TwipsPerPixelY();
    settings.base = base;
    settings.enabled = Enabled();
    settings.topMarkPercent = m.TopMarkPercent;
    settings.hasMenu = m.HasMenu;
    if (m.HasMenu && m.TopMarkPercent != 0) {
        const POINT at = CursorInClient();
        settings.menuHot = cmdorb::MenuAreaHot(at.x, at.y, settings.width, settings.height,
                                               settings.twipsPerPixelX, settings.twipsPerPixelY);
    }
    settings.value = m.value;
    settings.underlineChecked = m.UnderlineChecked;
    settings.checkedColor = m.CheckedColor;
    const cmdorb::FacePlan plan = cmdorb::PlanFace(settings);

    clsDC surface;
    surface.SetWidth(plan.width);
    surface.SetHeight(plan.height);
    if (HDC dc = surface.hdc()) {
        for (const cmdorb::FaceLine& line : plan.lines) {
            host::unique_pen pen(CreatePen(PS_SOLID, line.penWidth, line.colour));
            if (!pen) continue;
            host::SelectObjectScope selected(dc, pen.get());
            MoveToEx(dc, line.x1, line.y1, nullptr);
            LineTo(dc, line.x2, line.y2);
        }
        surface.Draw(ControlHdc());
    }
    ShowFaceNow();
}

void cmdOrb::ShowFaceNow() {
    UpdateWindow(hWnd());
    // The constituents lie over the face and show it through: they repaint from it.
    for (host::Control* part : Controls()) {
        if (part->hWnd()) RedrawWindow(part->hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

// High contrast: the face in the system's button colours (highlight colours where the normal
// face shows its highlight), no gradient and no hatch, the outline of the window's shape in
// the text colour and, while the button has the focus, a rectangle inside it.
void cmdOrb::DrawSystemColourFace(bool highlighted) {
    RECT client{};
    GetClientRect(hWnd(), &client);
    const bool hot = highlighted && Enabled();
    const int text = !Enabled() ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT;
    lCaption->SetSystemTextColour(text);
    clsDC surface;
    surface.SetWidth(client.right);
    surface.SetHeight(client.bottom);
    HDC dc = surface.hdc();
    if (!dc) return;
    FillRect(dc, &client, GetSysColorBrush(hot ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    host::unique_region shape(CreateRectRgn(0, 0, 0, 0));
    if (shape && GetWindowRgn(hWnd(), shape.get()) != ERROR) {
        FrameRgn(dc, shape.get(), GetSysColorBrush(COLOR_BTNTEXT), 1, 1);
    } else {
        FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNTEXT));
    }
    if (GetFocus() == hWnd()) {
        RECT cue = client;
        InflateRect(&cue, -4, -4);
        FrameRect(dc, &cue, GetSysColorBrush(text));
    }
    surface.Draw(ControlHdc());
}

void cmdOrb::SystemColoursChanged() { ApplyState(); }

void cmdOrb::FitCaptionLabel() {
    SIZE text{};
    {
        host::WindowDc screen(nullptr);
        host::unique_font font = host::CreateFontHandle(*lCaption->GetFont());
        if (screen && font) {
            host::SelectObjectScope selected(screen.get(), font.get());
            const std::string& caption = lCaption->Caption();
            GetTextExtentPoint32A(screen.get(), caption.c_str(), static_cast<int>(caption.size()),
                                  &text);
        }
    }
    lCaption->Move(lCaption->Left(), lCaption->Top(), text.cx * TwipsPerPixelX(),
                   text.cy * TwipsPerPixelY());
}

void cmdOrb::LayoutCaption() {
    FitCaptionLabel();
    const auto at = cmdorb::LayoutCaption(m.TextAlign, ScaleWidth(), ScaleHeight(),
                                          lCaption->Width(), lCaption->Height());
    if (!at) return;
    lCaption->Move(support::RoundHalfEven(at->left), support::RoundHalfEven(at->top),
                   lCaption->Width(), lCaption->Height());
}

void cmdOrb::LayoutIcon() {
    cmdorb::IconSettings settings{};
    settings.iconSize = m.IconSize;
    settings.iconWidth = m.IconWidth;
    settings.iconHeight = m.IconHeight;
    settings.iconAlign = m.IconAlign;
    settings.icoDistFromEdge = m.IcoDistFromEdge;
    settings.icoDistFromTop = m.IcoDistFromTop;
    settings.width = ScaleWidth();
    settings.height = ScaleHeight();
    settings.twipsPerPixelX = TwipsPerPixelX();
    settings.twipsPerPixelY = TwipsPerPixelY();
    settings.icoPosition = {static_cast<double>(Ico->Left()), static_cast<double>(Ico->Top())};
    const cmdorb::IconLayout layout = cmdorb::LayoutIcon(settings);

    m.IconWidth = layout.iconWidth;
    m.IconHeight = layout.iconHeight;
    for (std::string_view name : layout.announcements) PropertyChanged(std::string(name));
    const int left = support::RoundHalfEven(layout.position.left);
    const int top = support::RoundHalfEven(layout.position.top);
    const int width = support::ToInt32(layout.width);
    const int height = support::ToInt32(layout.height);
    for (host::Image* image : {Ico, CheckedIco}) image->Move(left, top, width, height);
}

void cmdOrb::Relayout() {
    LayoutCaption();
    LayoutIcon();
}

void cmdOrb::ApplyState() {
    if (m.HoverState == kNormal) {
        DrawFace(m.BackColor1);
        lCaption->SetForeColor(m.ForeColor);
    } else if (m.HoverState == kHigh) {
        DrawFace(m.HighColor1);
        lCaption->SetForeColor(m.HighTextColor);
    }
    Refresh();
}

void cmdOrb::ShowControl() {
    if (!m.UnderlineChecked) {
        CheckedIco->SetVisible(m.value);
        Ico->SetVisible(!m.value);
    }
    ApplyOwnRegion();
    DrawFace(m.BackColor1);
    m.SavedLeft = Extender().Left();
    m.SavedTop = Extender().Top();
}

void cmdOrb::Show() {
    m.Shown = true;
    ShowControl();
    OnShow();
}

void cmdOrb::Resize() {
    if (!m.Loaded || !m.Shown) return;
    LayoutIcon();
    OnResize();
    ApplyOwnRegion();
    DrawFace(m.BackColor1);
    Relayout();
}

// ---------------------------------------------------------------- interaction

void cmdOrb::RaiseMouse(const host::Event<I2&, I2&, float&, float&>& event, int button,
                        int shift, double x, double y) {
    I2 b = static_cast<I2>(button);
    I2 s = static_cast<I2>(shift);
    float fx = static_cast<float>(x);
    float fy = static_cast<float>(y);
    event(b, s, fx, fy);
}

void cmdOrb::Highlight() {
    if (Enabled() && !m.Highlighted) m.Highlighted = true;
}

void cmdOrb::MoveToRest() {
    Extender().SetLeft(m.SavedLeft);
    Extender().SetTop(m.SavedTop);
}

// Holding the capture while the pointer is over the button is how the button hears that
// the pointer has left: the next move outside still comes here.
void cmdOrb::MouseMove(int button, int shift, double x, double y) {
    if (!Enabled()) return;
    const double W = ScaleWidth();
    const double H = ScaleHeight();
    if (GetCapture() != hWnd()) {
        Highlight();
        ReleaseCapture();
        SetCapture(hWnd());
        if (m.HighlightOnHover) {
            lCaption->SetForeColor(m.HighTextColor);
            if (m.HoverState != kHigh) {
                DrawFace(m.HighColor1);
                m.HoverState = kHigh;
            }
        } else {
            DrawFace(m.BackColor1);
        }
    }
    if (GetCapture() == hWnd()) {
        if (x < 0 || x > W || y < 0 || y > H) {
            ReleaseCapture();
            MoveToRest();
            if (!m.Pressed) UnHighlight();
            DrawFace(m.BackColor1);
            m.HoverState = kNormal;
            lCaption->SetForeColor(m.ForeColor);
            m.Pressed = false;
        } else if (m.HasMenu) {
            const bool inMenu = y >= H * 0.75;
            if (inMenu != m.MenuHot) {
                m.MenuHot = inMenu;
                DrawFace(m.HighColor1);
            }
        }
    }
    RaiseMouse(OnMouseMove, button, shift, x, y);
}

void cmdOrb::ResetHover() {
    if (m.Pressed) UnHighlight();
    m.HoverState = kNormal;
    MouseMove(0, 0, 0, 0);
    m.Highlighted = false;
}

void cmdOrb::MouseDown(int button, int shift, double x, double y) {
    if (!Enabled()) return;
    RaiseMouse(OnMouseDown, button, shift, x, y);
    m.Pressed = true;
    if (GetFocus() != hWnd()) SetFocus(hWnd());
    ResetHover();
    Extender().SetLeft(Shifted(Extender().Left(), m.ButtonClickHeight));
    Extender().SetTop(Shifted(Extender().Top(), m.ButtonClickHeight));
}

void cmdOrb::MouseUp(int button, int shift, double x, double y) {
    if (!Enabled()) return;
    RaiseMouse(OnMouseUp, button, shift, x, y);
    if (m.HighlightOnHover) Highlight();
    if (!m.Pressed) return;  // the press left the control: no click

    MoveToRest();
    if (host::Container* container = Extender().Container()) container->Refresh();
    if (m.HasMenu && m.MenuHot) {
        OnMenuClick();
    } else {
        OnClick();
    }
    m.Pressed = false;
    if (m.HighlightOnHover) {
        const POINT at = CursorInClient();
        const bool over = at.x >= 1 && at.x <= ScaleWidth() / TwipsPerPixelX() && at.y >= 1 &&
                          at.y <= ScaleHeight() / TwipsPerPixelY();
        host::Container* container = Extender().Container();
        const HWND top = container ? GetAncestor(container->hWnd(), GA_ROOT) : nullptr;
        if (over && top && GetForegroundWindow() == top) {
            MouseMove(0, 0, 20, 20);
            ReleaseCapture();
            return;
        }
        UnHighlight();
        DrawFace(m.BackColor1);
    }
    ReleaseCapture();
}

void cmdOrb::DblClick() {
    if (!Enabled()) return;
    MoveToRest();
    OnDblClick();
    m.HoverState = kNormal;
    ApplyState();
}

void cmdOrb::KeyDown(int& keyCode, int& shift) {
    I2 code = static_cast<I2>(keyCode);
    I2 s = static_cast<I2>(shift);
    OnKeyDown(code, s);
    keyCode = code;
    shift = s;
}

// The container's KeyPress handler may change the key; only a space left as it is clicks.
void cmdOrb::KeyPress(int& keyAscii) {
    I2 key = static_cast<I2>(keyAscii);
    OnKeyPress(key);
    keyAscii = key;
    if (key == kSpace) OnClick();
}

void cmdOrb::KeyUp(int& keyCode, int& shift) {
    I2 code = static_cast<I2>(keyCode);
    I2 s = static_cast<I2>(shift);
    OnKeyUp(code, s);
    keyCode = code;
    shift = s;
}

void cmdOrb::GotFocus() {
    if (m.HighlightOnHover) DrawFace(m.HighColor1);
}

void cmdOrb::LostFocus() {
    UnHighlight();
    if (host::HighContrast()) DrawFace(m.BackColor1);  // the focus rectangle goes
}

void cmdOrb::ExitFocus() {
    ApplyState();
    UnHighlight();
}

// Over `lCaption` the pointer is the control's one once a MousePointer write has copied it
// there: the label's request goes on as the control's own.
LRESULT cmdOrb::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR && lCaption && reinterpret_cast<HWND>(wParam) == lCaption->hWnd() &&
        captionPointer_ != kDefault && captionPointer_ == UserControl::MousePointer()) {
        return UserControl::HandleMessage(message, reinterpret_cast<WPARAM>(hWnd()), lParam);
    }
    return UserControl::HandleMessage(message, wParam, lParam);
}

// ---------------------------------------------------------------- assistive technology

long cmdOrb::AccessibleRole() const { return ROLE_SYSTEM_PUSHBUTTON; }

std::wstring cmdOrb::AccessibleName() const { return host::SpokenCaption(host::Widen(Caption(), CP_ACP)); }

long cmdOrb::AccessibleState() const { return m.value ? STATE_SYSTEM_CHECKED : 0; }

std::wstring cmdOrb::AccessibleDefaultAction() const { return L"Press"; }

std::wstring cmdOrb::AccessibleShortcut() const { return host::AccessKeyShortcut(host::Widen(Caption(), CP_ACP)); }

// What a click does: the container hears Click; a disabled button does nothing.
void cmdOrb::DoAccessibleDefaultAction() {
    if (Enabled()) OnClick();
}
