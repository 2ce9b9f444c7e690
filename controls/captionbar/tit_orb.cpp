#include "controls/captionbar/tit_orb.h"

#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <utility>

#include "host/app.h"
#include "support/window_helpers.h"
#include "host/font_handle.h"
#include "host/handles.h"
#include "host/high_contrast.h"
#include "support/cls_dc.h"

using captionbar::StoredImage;

namespace {

constexpr int kSizeNS = 7;  // the north-south sizing pointer
constexpr captionbar::Colour kSystemHighlight = 0x80000000 | COLOR_HIGHLIGHT;
constexpr captionbar::Colour kSystemButtonFace = 0x80000000 | COLOR_BTNFACE;
constexpr int kBoxHeight = 17;

int TwipsX() { return host::App::TwipsPerPixelX(); }
int TwipsY() { return host::App::TwipsPerPixelY(); }
int Pixels(double twips, int twipsPerPixel) {
    return static_cast<int>(std::lround(twips / std::max(1, twipsPerPixel)));
}

}  // namespace

titOrb::titOrb(std::string name, std::optional<int> index)
    : UserControl(std::move(name), index) {}

titOrb::~titOrb() { TrackMouse.reset(); }

// ---- creation and termination

void titOrb::Initialize() {
    SetScaleMode(host::DrawingSurface::kPixels);
    CreateConstituents();
}

void titOrb::Terminate() {
    TrackMouse.reset();  // gives the bar's window its own procedure back
    HoldParent(nullptr);
    textFont_.reset();
}

host::PictureBox& titOrb::AddBox(host::Container& parent, const char* name) {
    auto& box = AddConstituentTo<host::PictureBox>(parent, name);
    box.SetBorderStyle(0);
    return box;
}

void titOrb::CreateConstituents() {
    // The stored images are pictures the boxes and the background share; they need no
    // windows of their own.
    for (std::size_t i = 0; i < captionbar::kImageResources.size(); ++i) {
        images_[i] = host::App::LoadBitmapPicture(captionbar::kImageResources[i].name);
    }

    picButtons_ = &AddBox(*this, "picButtons");
    picButtons_->Move(0, 0, 0, kBoxHeight);
    const auto placeBox = [this](const char* name, StoredImage image) -> host::PictureBox& {
        auto& box = AddBox(*picButtons_, name);
        const auto& size = captionbar::ResourceOf(image);
        box.Move(0, 0, size.width * TwipsX(), size.height * TwipsY());
        return box;
    };
    picmin_ = &placeBox("picmin", StoredImage::Picminn);
    Picres_ = &placeBox("Picres", StoredImage::picresn);
    picClose_ = &placeBox("picClose", StoredImage::picClosen);
    HookBox(*picmin_, Box::picmin);
    HookBox(*Picres_, Box::Picres);
    HookBox(*picClose_, Box::picClose);
    ApplyLayout(captionbar::LayoutBoxes(allowMaximize_, closeButtonOnly_,
                                        {picmin_->Width(), Picres_->Width(), picClose_->Width()},
                                        TwipsX()));
    ShowFaces(captionbar::NormalFaces(false));

    auto logo = std::make_unique<host::PictureBox>("picLogo");
    logo->SetVisible(false);
    picLogo_ = static_cast<host::PictureBox*>(&AddConstituentControl(std::move(logo)));
    picLogo_->SetBorderStyle(0);
    picLogo_->OnClick = [this] { LogoClicked(); };
    picLogo_->OnDblClick = [this] { DoubleClickAction(); };
    picLogo_->OnMouseMove = [this](int, int, double, double) { ResetSizePointer(); };
}

void titOrb::HookBox(host::PictureBox& box, Box which) {
    box.OnMouseDown = [this, which](int button, int, double, double) {
        BoxMouseDown(which, button);
    };
    box.OnMouseMove = [this, which](int button, int, double x, double y) {
        BoxMouseMove(which, button, x, y);
    };
    box.OnMouseUp = [this, which](int button, int, double x, double y) {
        BoxMouseUp(which, button, x, y);
    };
    box.OnPaint = [this, which] { PaintSystemColourBox(which); };
}

// ---- methods

bool titOrb::SetLogo(host::PicturePtr ThePicture, bool IsVisible, std::int32_t PLeft,
                     std::int32_t PTop, std::int32_t PHeight, std::int32_t PWidth,
                     std::int32_t FrameWidth, std::int32_t Curvature, std::int32_t lLeftAdd,
                     std::int32_t lTopAdd) {
    picLogo_->SetPicture(std::move(ThePicture));
    picLogo_->Move(PLeft, PTop, PWidth, PHeight);
    picLogo_->SetVisible(IsVisible);
    windowing::ShapePicture(*picLogo_, FrameWidth, Curvature, lLeftAdd, lTopAdd);
    return false;
}

void titOrb::InitMenu(const MenuSettings& s) {
    menu_.NotifyMaximizeEventOnly = s.NotifyMaximizeEventOnly;
    menu_.NotifyMinimizeEventOnly = s.NotifyMinimizeEventOnly;
    menu_.NotifyCloseEventOnly = s.NotifyCloseEventOnly;
    menu_.NotifyRestoreEventOnly = s.NotifyRestoreEventOnly;
    menu_.HasLogoBump = s.HasLogoBump;
    menu_.SysMenuButtonAddLeft = s.SysMenuButtonAddLeft;
    menu_.SysMenuButtonAddTop = s.SysMenuButtonAddTop;
    menu_.AddToTopControlBoxes = s.AddToTopControlBoxes;
    menu_.SlideTBButtonAddLeft = s.SlideTBButtonAddLeft;
    menu_.SlideTBButtonAddTop = s.SlideTBButtonAddTop;
    menu_.NoTopWindowResize = s.NoTopWindowResize;
    if (s.oMyParent) {
        HoldParent(s.oMyParent);
        parentName_ = s.oMyParent->Name();
    }
    if (myParent_) SetTitlebar(s.ShowTitleBar);
    menu_.IsTitleBar = s.IsTitleBar;
    menu_.ControlBoxesMask = s.ControlBoxesMask;
    if (std::exchange(initialised_, true)) return;

    menu_.BottomEdge = s.BottomEdge;
    menu_.ControlBoxes = s.ControlBoxes;
    HoldParent(HostForm());
    menu_.ovrMenuHeight = s.ovrMenuHeight;
    if (s.Fnt) SetFont(s.Fnt);
    textFont_ = GetFont();
    menuHeight_ = s.ovrMenuHeight + 4 * TwipsY();
    Extender().SetHeight(menuHeight_);
    if (myParent_) Extender().SetWidth(myParent_->Width());
    menuWidth_ = Extender().Width();
    Extender().SetTop(0);
    Extender().SetLeft(0);
    top_ = 0;
    SetBkcolor(s.BakColor);
    SetHilightColor(s.HilgtColor);
    redrawState_ = -1;
    menu_.SolidBkground = s.SolidBkground;
    TrackMouse = std::make_unique<clsTrackMouse>();
    TrackMouse->MouseOver = [this](std::int32_t x, std::int32_t y) { OnMouseOver(x, y); };
    TrackMouse->MouseOut = [this] { OnMouseOut(); };
    TrackMouse->SetTrackObject(this);
    SetAutoRedraw(true);
}

void titOrb::SynchColorsNow(Colour& BC, Colour& HC, Colour& fc, Colour& HFC) {
    // Through the property setters, so that a system colour is stored as its RGB here too.
    SetBkcolor(BC);
    SetHilightColor(HC);
    glyphColour_ = fc;
    SynchColors(BC, HC, fc, HFC);
    ReDrawMenu(true, false);
}

void titOrb::ReDrawMenu(bool full, bool track) {
    if (full) DrawBackground();
    if (track) {
        if (redrawState_ != -1) {  // the last redraw was partial: restore the whole bar first
            Cls();
            ReDrawMenu(true, false);
        }
        redrawState_ = full ? -1 : 0;
    } else {
        redrawState_ = -1;
    }
    if (menu_.ControlBoxes) DrawGlyphItems(menu_.ControlBoxesMask);
    DrawContainerLayer();
    if (myParent_) {
        const int left = captionbar::StripLeft(ParentWidthPixels(), picButtons_->Width());
        const int top = captionbar::StripTop(Pixels(Extender().Height(), TwipsX()),
                                             picButtons_->Height(), menu_.AddToTopControlBoxes);
        picButtons_->Move(left, top, picButtons_->Width(), picButtons_->Height());
    }
}

void titOrb::CLSWindow() {
    DrawBackground();
    DrawGlyphItems(menu_.ControlBoxesMask);
    MouseMove(0, 0, 0, 0);
    DrawContainerLayer();
}

// ---- properties

void titOrb::SetAllowMaximize(bool value) {
    allowMaximize_ = value;
    RelayoutBoxes();
}

void titOrb::SetCloseButtonOnly(bool value) {
    closeButtonOnly_ = value;
    RelayoutBoxes();
}

// The boxes as AllowMaximize and CloseButtonOnly have them, then a full redraw.
void titOrb::RelayoutBoxes() {
    ApplyLayout(captionbar::LayoutBoxes(allowMaximize_, closeButtonOnly_,
                                        {picmin_->Width(), Picres_->Width(), picClose_->Width()},
                                        TwipsX()));
    Cls();
    ReDrawMenu(true, false);
}

void titOrb::ApplyLayout(const captionbar::BoxLayout& layout) {
    const auto place = [](host::PictureBox& box, bool visible, int left) {
        box.Move(left, 0, box.Width(), box.Height());
        box.SetVisible(visible);
    };
    place(*picmin_, layout.picminVisible, layout.picminLeft);
    place(*Picres_, layout.PicresVisible, layout.PicresLeft);
    place(*picClose_, layout.picCloseVisible, layout.picCloseLeft);
    picButtons_->Move(picButtons_->Left(), picButtons_->Top(), layout.stripWidth,
                      picButtons_->Height());
}

void titOrb::SetToolbarSlider(bool value) {
    toolbarSlider_ = value;
    if (value) {
        bool FirstTimeShow = !toolbarShownOnce_;
        ShowToolbar(FirstTimeShow);
        toolbarShownOnce_ = true;
    } else {
        HideToolbar();
    }
}

void titOrb::SetLogoPicture(host::PicturePtr picture) { picLogo_->SetPicture(std::move(picture)); }

void titOrb::SetBkcolor(Colour value) {
    bkcolor_ = captionbar::ResolveColour(value, [](int index) { return GetSysColor(index); });
    SetBackColor(bkcolor_);
}

void titOrb::SetHilightColor(Colour value) {
    hilightColor_ = captionbar::ResolveColour(value, [](int index) { return GetSysColor(index); });
}

bool titOrb::FormBorder() const {
    return myParent_ && myParent_->hWnd() &&
           (GetWindowLongPtrA(myParent_->hWnd(), GWL_STYLE) & WS_BORDER) != 0;
}

void titOrb::SetFormBorder(bool value) { SetStyleBit(WS_BORDER, value); }

bool titOrb::Titlebar() const {
    return myParent_ && myParent_->hWnd() &&
           (GetWindowLongPtrA(myParent_->hWnd(), GWL_STYLE) & WS_CAPTION) != 0;
}

void titOrb::SetTitlebar(bool value) { SetStyleBit(WS_CAPTION, value); }

// True when the parent's style reads back as written; nothing happens without a parent.
bool titOrb::SetStyleBit(LONG_PTR mask, bool on) {
    if (!myParent_ || !myParent_->hWnd()) return false;
    const HWND parent = myParent_->hWnd();
    const LONG_PTR style = GetWindowLongPtrA(parent, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | mask) : (style & ~mask);
    SetWindowLongPtrA(parent, GWL_STYLE, wanted);
    RefreshFrame();
    return GetWindowLongPtrA(parent, GWL_STYLE) == wanted;
}

void titOrb::RefreshFrame() {
    SetWindowPos(myParent_->hWnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// ---- drawing

int titOrb::BarHeightPixels() const { return Pixels(Control::Height(), TwipsY()); }

int titOrb::ParentWidthPixels() const {
    return myParent_ ? Pixels(myParent_->Width(), TwipsX()) : 0;
}

// Without a parent there is no width to draw to; the background waits for InitMenu.
void titOrb::DrawBackground() {
    if (!myParent_) return;
    const int width = ParentWidthPixels(), height = BarHeightPixels();
    if (width <= 0 || height <= 0) return;
    clsDC surface;
    surface.SetWidth(width);
    surface.SetHeight(height);
    if (host::HighContrast()) {
        // High contrast: the bar in the highlight colour, the title over it in its text colour.
        const RECT all{0, 0, width, height};
        FillRect(surface.hdc(), &all, GetSysColorBrush(COLOR_HIGHLIGHT));
    } else if (const auto& image = StoredPicture(captionbar::BackgroundFor(height))) {
        // Picture::Render stretches in COLORONCOLOR mode, so shrunk rows are not ANDed together.
        image->Render(surface.hdc(), 0, 0, width, height);
    }
    surface.Draw(hdc());
    Surface().Changed();
}

void titOrb::DrawContainerLayer() {
    const int width = Pixels(Control::Width(), TwipsX()), height = BarHeightPixels();
    if (width <= 0 || height <= 0) return;
    clsDC surface;
    surface.SetWidth(width);
    surface.SetHeight(height);
    BitBlt(surface.hdc(), 0, 0, width, height, hdc(), 0, 0, SRCCOPY);
    SetBkMode(surface.hdc(), TRANSPARENT);
    HDC hTitDC = surface.hdc();
    DrawControl(hTitDC);
    surface.Draw(hdc());
    Surface().Changed();
}

void titOrb::DrawGlyphItems(std::uint8_t mask, std::optional<Colour> baseColour) {
    if (!menu_.ControlBoxes) return;
    const Colour base = baseColour.value_or(hilightColor_);
    const captionbar::ItemGeometry geometry = Geometry();
    host::Font drawing = symbolFont_;
    drawing.SetSize(11);
    const host::unique_font font = host::CreateFontHandle(drawing);
    HDC dc = hdc();
    // The text font is selected back when the scope ends.
    host::SelectObjectScope selected(dc, font.get());
    for (int item = 4; item <= 5; ++item) {
        if (!captionbar::ItemEnabled(mask, item) || !drawFormBoxes_) continue;
        const captionbar::Rect r = captionbar::ItemRect(item, geometry);
        DrawGlyph(dc, r.left + 1, r.top + 1, captionbar::GlyphText(item, toolbarSlider_), true,
                  glyphColour_, captionbar::GlyphTint(base, item));
    }
    Surface().Changed();
}

void titOrb::DrawGlyph(HDC dc, int x, int y, const char* text, bool enabled, Colour textColour,
                       std::optional<Colour> backColour) {
    const COLORREF oldText = SetTextColor(dc, textColour);
    COLORREF oldBack = 0;
    if (backColour) {
        oldBack = SetBkColor(dc, *backColour);
        SetBkMode(dc, OPAQUE);
    }
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text),
               static_cast<WPARAM>(std::strlen(text)), x + 3, y, 0, 0,
               DST_PREFIXTEXT | (enabled ? 0 : DSS_DISABLED));
    SetTextColor(dc, oldText);
    if (backColour) {
        SetBkColor(dc, oldBack);
        SetBkMode(dc, TRANSPARENT);
    }
}

SIZE titOrb::GlyphSize() {
    host::Font measuring = symbolFont_;
    measuring.SetSize(13);
    const host::unique_font font = host::CreateFontHandle(measuring);
    SIZE size{};
    HDC dc = hdc();
    host::SelectObjectScope selected(dc, font.get());
    GetTextExtentPoint32A(dc, "c", 1, &size);
    return size;
}

captionbar::ItemGeometry titOrb::Geometry() {
    const SIZE glyph = GlyphSize();
    captionbar::ItemGeometry g;
    g.TwipsPerPixelX = TwipsX();
    g.TwipsPerPixelY = TwipsY();
    g.logoLeft = picLogo_->Left();
    g.barScaleHeight = static_cast<int>(ScaleHeight());
    g.barHeightTwips = Control::Height();
    g.parentWidthTwips = myParent_ ? myParent_->Width() : 0;
    g.ovrMenuHeight = menu_.ovrMenuHeight;
    g.glyphWidth = glyph.cx;
    g.glyphHeight = glyph.cy;
    g.SysMenuButtonAddLeft = menu_.SysMenuButtonAddLeft;
    g.SysMenuButtonAddTop = menu_.SysMenuButtonAddTop;
    g.SlideTBButtonAddLeft = menu_.SlideTBButtonAddLeft;
    g.SlideTBButtonAddTop = menu_.SlideTBButtonAddTop;
    g.AddToTopControlBoxes = menu_.AddToTopControlBoxes;
    g.AllowMaximize = allowMaximize_;
    g.DrawFormBoxes = drawFormBoxes_;
    g.HasLogoBump = menu_.HasLogoBump;
    g.parentMaximised = ParentMaximised();
    return g;
}

int titOrb::HitTestItem(POINT screen) {
    RECT bar{};
    GetWindowRect(hWnd(), &bar);
    return captionbar::HitTestItem({screen.x, screen.y},
                                   {bar.left, bar.top, bar.right, bar.bottom}, menu_.ControlBoxesMask,
                                   Geometry());
}

// ---- control boxes

void titOrb::ShowFace(host::PictureBox& box, StoredImage image) {
    if (host::HighContrast()) {
        ShowSystemColourFace(box, image);
        return;
    }
    const host::PicturePtr& picture = StoredPicture(image);
    if (box.GetPicture() != picture) box.SetPicture(picture);
}

// High contrast: a box is its glyph on the button face (on the highlight while the pointer
// is over it or presses it), framed; the box's paint draws it (PaintSystemColourBox).
void titOrb::ShowSystemColourFace(host::PictureBox& box, StoredImage image) {
    const Box which = &box == picmin_ ? Box::picmin : &box == Picres_ ? Box::Picres : Box::picClose;
    const bool hot = image != NormalFace(which);
    if (box.GetPicture()) box.SetPicture(nullptr);
    box.SetBackColor(hot ? kSystemHighlight : kSystemButtonFace);
    box.Refresh();
}

void titOrb::PaintSystemColourBox(Box which) {
    if (!host::HighContrast()) return;
    host::PictureBox& box = BoxOf(which);
    HDC dc = box.hDC();
    if (!dc) return;
    RECT r{};
    GetClientRect(box.hWnd(), &r);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNTEXT));
    // The glyph in lines of whole pixels: a bar, a window, or a cross.
    const bool hot = box.BackColor() == kSystemHighlight;
    host::unique_pen pen(CreatePen(PS_SOLID, 2, GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT)));
    host::SelectObjectScope selected(dc, pen.get());
    host::SelectObjectScope hollow(dc, GetStockObject(NULL_BRUSH));
    const int x = r.right / 2, y = r.bottom / 2;
    switch (which) {
    case Box::picmin:
        MoveToEx(dc, x - 4, y + 3, nullptr);
        LineTo(dc, x + 4, y + 3);
        break;
    case Box::Picres:
        Rectangle(dc, x - 4, y - 4, x + 5, y + 5);
        break;
    case Box::picClose:
        MoveToEx(dc, x - 4, y - 4, nullptr);
        LineTo(dc, x + 4, y + 4);
        MoveToEx(dc, x + 4, y - 4, nullptr);
        LineTo(dc, x - 4, y + 4);
        break;
    }
}

void titOrb::SystemColoursChanged() {
    Cls();
    ReDrawMenu(true, false);
    ShowFaces(captionbar::NormalFaces(ParentMaximised()));
}

void titOrb::ShowFaces(const captionbar::BoxFaces& faces) {
    ShowFace(*picmin_, faces.picmin);
    ShowFace(*Picres_, faces.Picres);
    ShowFace(*picClose_, faces.picClose);
}

void titOrb::ResetSizePointer() {
    if (MousePointer() == kSizeNS) SetMousePointer(kDefault);
}

host::PictureBox& titOrb::BoxOf(Box which) {
    return which == Box::picmin ? *picmin_ : which == Box::Picres ? *Picres_ : *picClose_;
}

// The box holds the capture while a button is down on it, so a point in its own scale that
// lies outside its client area is off the box.
bool titOrb::OnBox(Box which, double x, double y) {
    const host::PictureBox& box = BoxOf(which);
    return x >= 0 && y >= 0 && x < box.ScaleWidth() && y < box.ScaleHeight();
}

StoredImage titOrb::NormalFace(Box which) const {
    const captionbar::BoxFaces faces = captionbar::NormalFaces(ParentMaximised());
    return which == Box::picmin ? faces.picmin : which == Box::Picres ? faces.Picres : faces.picClose;
}

void titOrb::BoxMouseDown(Box which, int button) {
    if (button == 1) leftPressedBox_ = which;
    ShowFace(BoxOf(which), captionbar::PressedFace(which));
}

void titOrb::BoxMouseMove(Box which, int button, double x, double y) {
    ResetSizePointer();
    // A press whose release never came (the capture went elsewhere) is over.
    if ((button & 1) == 0) leftPressedBox_.reset();
    // While the left button is down on this box, as a user cancels a press by moving off it.
    if (leftPressedBox_ == which) {
        ShowFace(BoxOf(which), OnBox(which, x, y) ? captionbar::PressedFace(which) : NormalFace(which));
        return;
    }
    ShowFaces(captionbar::HoverFaces(which, ParentMaximised()));
}

void titOrb::BoxMouseUp(Box which, int button, double x, double y) {
    if (button == 1) {
        // A left press acts only when it is released on the box it went down on.
        const bool pressedHere = std::exchange(leftPressedBox_, std::nullopt) == which;
        if (!pressedHere || !OnBox(which, x, y)) {
            ShowFace(BoxOf(which), NormalFace(which));
            return;
        }
    }
    // The close action may unload the form this bar is on: it stays until we return.
    const host::HandlerScope running(HostForm());
    switch (which) {
    case Box::picmin:
        ShowFace(*picmin_, StoredImage::Picminn);
        if (drawFormBoxes_) Minimise();
        break;
    case Box::Picres:
        if (drawFormBoxes_) MaximiseOrRestore();
        ShowFaces(captionbar::NormalFaces(ParentMaximised()));
        break;
    case Box::picClose:
        ShowFace(*picClose_, StoredImage::picClosen);
        if (drawFormBoxes_) {
            CloseParent();
        } else {
            Cls();
            ReDrawMenu(true, false);
        }
        break;
    }
    std::int32_t ButtonIndex = static_cast<std::int32_t>(which) + 1;
    ButtonClicked(ButtonIndex);
}

// ---- actions on the parent

void titOrb::HoldParent(host::Form* parent) {
    parentResized_.Cancel();
    parentUnloaded_.Cancel();
    myParent_ = parent;
    if (!parent) return;
    parentResized_ = parent->SubscribeResize([this] { OnParentResize(); });
    parentUnloaded_ = parent->SubscribeUnload([this] { ParentClosing(); });
}

bool titOrb::ParentMaximised() const {
    return myParent_ && myParent_->WindowState() == host::Form::kMaximized;
}

void titOrb::Minimise() {
    if (!menu_.NotifyMinimizeEventOnly && myParent_) {
        myParent_->ZOrder();
        myParent_->SetWindowState(host::Form::kMinimized);
    }
    MinimizeNotify();
}

void titOrb::MaximiseOrRestore() {
    if (ParentMaximised()) {
        if (!menu_.NotifyRestoreEventOnly) myParent_->SetWindowState(host::Form::kNormal);
        RestoreNotify();
    } else {
        if (!menu_.NotifyMaximizeEventOnly && myParent_) myParent_->SetWindowState(host::Form::kMaximized);
        MaximizeNotify();
    }
}

void titOrb::CloseParent() {
    if (!menu_.NotifyCloseEventOnly) RunCloseSequence();
    CloseNotify();
}

// The parent's unload raises ParentClosing through its notification.
void titOrb::RunCloseSequence() {
    closing_ = true;
    if (!myParent_) return;
    host::Form* parent = myParent_;
    parent->Hide();
    if (TrackMouse) TrackMouse->StopTracking(hWnd());
    parent->Unload();
}

void titOrb::DoubleClickAction() {
    if (allowMaximize_) MaximiseOrRestore();
    DoubleClick();
}

void titOrb::ItemAction(int item) {
    if (drawFormBoxes_) {
        switch (item) {
        case 1: Minimise(); break;
        case 2: MaximiseOrRestore(); break;
        case 3: CloseParent(); break;
        case 4: {
            std::int32_t x = cursor_.x, y = cursor_.y;
            OpenSysMenu(x, y);
            break;
        }
        case 5: SetToolbarSlider(!toolbarSlider_); break;
        }
    } else if (item == 3) {
        Cls();
        ReDrawMenu(true, false);
    }
    std::int32_t ButtonIndex = item;
    ButtonClicked(ButtonIndex);
}

// ---- the bar's own mouse

void titOrb::MouseDown(int button, int /*shift*/, double /*x*/, double /*y*/) {
    if (button != 1) return;
    if (MousePointer() == kSizeNS) {
        ReleaseCapture();
        if (host::Form* form = HostForm()) {
            POINT at{};
            GetCursorPos(&at);
            SendMessageA(form->hWnd(), WM_NCLBUTTONDOWN, HTTOP, MAKELPARAM(at.x, at.y));
        }
        return;
    }
    GetCursorPos(&cursor_);
    if (HitTestItem(cursor_) != -1) return;  // the item acts on mouse up
    if (!menu_.IsTitleBar || !myParent_ || ParentMaximised()) return;
    GetCursorPos(&cursor_);
    // Ends the host's press on the bar (and its capture) before the system takes the mouse.
    SendMessageA(hWnd(), WM_LBUTTONUP, 0, 0);
    if (closing_) return;
    ReleaseCapture();
    // The system moves the parent with the mouse; the call returns when the move ends.
    SendMessageA(myParent_->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor_.x, cursor_.y));
    FocusEvent();
}

void titOrb::MouseMove(int /*button*/, int /*shift*/, double x, double y) {
    captionbar::TopEdge edge;
    edge.NoTopWindowResize = menu_.NoTopWindowResize;
    edge.containerMaximised = HostForm() && HostForm()->WindowState() == host::Form::kMaximized;
    edge.logoLeft = picLogo_->Left();
    edge.stripLeft = picButtons_->Left();
    edge.stripWidth = picButtons_->Width();
    if (const auto pointer = captionbar::PointerOnBarMove(static_cast<int>(x), static_cast<int>(y), edge)) {
        if (*pointer == captionbar::MousePointer::SizeNS) {
            SetMousePointer(kSizeNS);
            return;
        }
        SetMousePointer(kDefault);
    }
    if (myParent_) ShowFaces(captionbar::NormalFaces(ParentMaximised()));
}

void titOrb::MouseUp(int button, int shift, double /*x*/, double /*y*/) {
    // An item may unload the form this bar is on: it stays until we return.
    const host::HandlerScope running(HostForm());
    SetWindowPos(hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    GetCursorPos(&cursor_);
    const int item = HitTestItem(cursor_);
    if (item != -1) {
        ItemAction(item);
        return;
    }
    if (shift == 0) {
        std::int32_t x = cursor_.x, y = cursor_.y;
        if (button == 2 || (button == 1 && HitTestItem(cursor_) == 4)) {
            OpenSysMenu(x, y);
            return;
        }
    }
    host::I2 Button = static_cast<host::I2>(button);
    CaptionClicked(Button);
}

void titOrb::DblClick() { DoubleClickAction(); }

// ---- notifications of the tracker and the parent

void titOrb::OnMouseOver(std::int32_t x, std::int32_t y) {
    const int item = HitTestItem({x, y});
    if (item == -1) {
        if (menu_.ControlBoxes) DrawGlyphItems(menu_.ControlBoxesMask);
        redrawState_ = -1;
        return;
    }
    if (!drawFormBoxes_) {
        if (item == 3) ReDrawMenu(true, false);
        return;
    }
    // The item under the cursor shows its tint on the background colour.
    ReDrawMenu(true, false);
    DrawGlyphItems(static_cast<std::uint8_t>(1u << (item - 1)), bkcolor_);
}

void titOrb::OnMouseOut() {
    redrawState_ = -1;
    if (windowing::IsFormLoaded(parentName_)) ReDrawMenu(true, false);
}

void titOrb::OnParentResize() {
    if (!windowing::IsFormLoaded(parentName_)) return;
    Cls();
    ReDrawMenu(true, false);
}

// ---- assistive technology

long titOrb::AccessibleRole() const { return ROLE_SYSTEM_TITLEBAR; }

std::wstring titOrb::AccessibleName() const {
    wchar_t title[512] = {};
    if (hWnd()) GetWindowTextW(GetAncestor(hWnd(), GA_ROOT), title, static_cast<int>(std::size(title)));
    return title;
}

std::vector<host::AccessibleElement> titOrb::AccessibleElements() const {
    struct BoxItem {
        host::PictureBox* box;
        const wchar_t* name;
        int item;  // as ItemAction numbers them
    };
    const BoxItem boxes[] = {
        {picmin_, L"Minimize", 1},
        {Picres_, ParentMaximised() ? L"Restore" : L"Maximize", 2},
        {picClose_, L"Close", 3},
    };
    std::vector<host::AccessibleElement> elements;
    for (const BoxItem& b : boxes) {
        if (!b.box || !b.box->hWnd() || !b.box->Visible()) continue;
        host::AccessibleElement element;
        element.role = ROLE_SYSTEM_PUSHBUTTON;
        element.name = b.name;
        element.state = IsWindowVisible(b.box->hWnd()) ? 0 : STATE_SYSTEM_INVISIBLE;
        GetWindowRect(b.box->hWnd(), &element.screen);
        element.defaultAction = L"Press";
        auto* self = const_cast<titOrb*>(this);
        const int item = b.item;
        element.doDefaultAction = [self, item] { self->ItemAction(item); };
        elements.push_back(std::move(element));
    }
    return elements;
}
