// titOrb: the caption bar that replaces its parent window's system caption. It shows a
// stretched background, a logo, the container's own caption drawing (DrawControl), three
// picture control boxes (minimise, maximise / restore, close) and optional "Marlett" glyph
// items; it moves, sizes, minimises, maximises, restores and closes its parent itself and
// reports each of these through its events.
//
// It keeps no stored properties: InitMenu, SynchColorsNow, a few property writes and
// SetLogo configure it at run time. Sizes are in pixels unless a name says twips; the
// container's measures (the parent's Width, the bar's extent in the form) are twips.
//
// The arithmetic (layout, hit test, tints, image choice) is in caption_plan.h; this class
// applies it to windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <cstddef>

#include "controls/captionbar/caption_plan.h"
#include "host/event.h"
#include "host/font.h"
#include "host/form.h"
#include "host/notifier.h"
#include "host/picture.h"
#include "host/property_bag.h"
#include "host/standard_controls.h"
#include "host/user_control.h"
#include "support/cls_track_mouse.h"

class titOrb : public host::UserControl, public TrackedObject {
public:
    using Colour = captionbar::Colour;

    explicit titOrb(std::string name, std::optional<int> index = {});
    ~titOrb() override;
    std::string TypeName() const override { return "titOrb"; }

    // ---- methods ----

    // Puts ThePicture into picLogo, places it in the bar's pixels and clips it to a rounded
    // rectangle. Always gives false.
    bool SetLogo(host::PicturePtr ThePicture, bool IsVisible, std::int32_t PLeft, std::int32_t PTop,
                 std::int32_t PHeight, std::int32_t PWidth, std::int32_t FrameWidth,
                 std::int32_t Curvature, std::int32_t lLeftAdd, std::int32_t lTopAdd);
    // SetLogo's and InitMenu's values by name, for a call that names each value it gives
    // with a designated initialiser; a value it leaves out is 0, false or none.
    struct LogoSettings {
        bool IsVisible = false;
        std::int32_t PLeft = 0, PTop = 0, PHeight = 0, PWidth = 0;
        std::int32_t FrameWidth = 0, Curvature = 0, lLeftAdd = 0, lTopAdd = 0;
    };
    bool SetLogo(host::PicturePtr ThePicture, const LogoSettings& s) {
        return SetLogo(std::move(ThePicture), s.IsVisible, s.PLeft, s.PTop, s.PHeight, s.PWidth,
                       s.FrameWidth, s.Curvature, s.lLeftAdd, s.lTopAdd);
    }
    struct MenuSettings {
        host::I2 Index = 0;
        Colour BakColor = 0, HilgtColor = 0;
        std::shared_ptr<host::Font> Fnt;
        bool BottomEdge = false, ControlBoxes = false, SolidBkground = false;
        std::int32_t ovrMenuHeight = 0;  // twips
        std::uint8_t ControlBoxesMask = 0;
        bool ShowTitleBar = false;
        host::Form* oMyParent = nullptr;
        bool IsTitleBar = false;
        std::int32_t SysMenuButtonAddLeft = 0, SysMenuButtonAddTop = 0;
        bool NotifyCloseEventOnly = false, NotifyMaximizeEventOnly = false,
             NotifyMinimizeEventOnly = false;
        std::int32_t SlideTBButtonAddLeft = 0, SlideTBButtonAddTop = 0;
        bool NoTopWindowResize = false, NotifyRestoreEventOnly = false, HasLogoBump = false;
        std::int32_t AddToTopControlBoxes = 0;
    };
    // The one-time set-up; a later call changes only the flags, offsets, parent, title bar,
    // IsTitleBar and the item mask.
    void InitMenu(const MenuSettings& s);
    // Takes the colours, raises SynchColors with them (the container may change the caller's
    // variables) and redraws in full. HFC is only passed on.
    void SynchColorsNow(Colour& BC, Colour& HC, Colour& fc, Colour& HFC);
    // full: the background is drawn afresh; track: a hover redraw, which first restores the
    // whole bar when the previous one was partial.
    void ReDrawMenu(bool full, bool track);
    void CLSWindow();

    // ---- properties ----
    bool AllowMaximize() const { return allowMaximize_; }
    void SetAllowMaximize(bool value);
    void SetCloseButtonOnly(bool value);
    bool ToolbarSlider() const { return toolbarSlider_; }
    void SetToolbarSlider(bool value);
    std::int32_t SysMenuRectTop() const { return sysMenuRect_.top; }
    void SetSysMenuRectTop(std::int32_t v) { sysMenuRect_.top = v; }
    std::int32_t SysMenuRectleft() const { return sysMenuRect_.left; }
    void SetSysMenuRectleft(std::int32_t v) { sysMenuRect_.left = v; }
    std::int32_t SysMenuRectRight() const { return sysMenuRect_.right; }
    void SetSysMenuRectRight(std::int32_t v) { sysMenuRect_.right = v; }
    std::int32_t SysMenuRectBottom() const { return sysMenuRect_.bottom; }
    void SetSysMenuRectBottom(std::int32_t v) { sysMenuRect_.bottom = v; }
    void SetLogoPicture(host::PicturePtr picture);
    bool NoTopWindowResize() const { return menu_.NoTopWindowResize; }
    void SetNoTopWindowResize(bool value) { menu_.NoTopWindowResize = value; }
    HDC hdc() { return hDC(); }
    // Font: the inherited GetFont().
    Colour Bkcolor() const { return bkcolor_; }
    void SetBkcolor(Colour value);
    // ForeColor: the inherited ForeColor() / SetForeColor(), stored unchanged.
    Colour HilightColor() const { return hilightColor_; }
    void SetHilightColor(Colour value);
    HWND hwnd() const override { return hWnd(); }
    // The bar's own position values, 0 after set-up; the placement in the form is Extender().
    float Left() const { return left_; }
    float Top() const { return top_; }
    std::int32_t MenuHeight() const { return menuHeight_; }
    std::int32_t MenuWidth() const { return menuWidth_; }
    bool BottomEdgeLine() const { return menu_.BottomEdge; }
    void SetBottomEdgeLine(bool value) { menu_.BottomEdge = value; }
    bool DrawControlBoxes() const { return menu_.ControlBoxes; }
    void SetDrawControlBoxes(bool value) { menu_.ControlBoxes = value; }
    bool FormBorder() const;
    void SetFormBorder(bool value);
    bool Titlebar() const;
    void SetTitlebar(bool value);
    bool DrawFormBoxes() const { return drawFormBoxes_; }
    void SetDrawFormBoxes(bool value) { drawFormBoxes_ = value; }
    bool SolidBackground() const { return menu_.SolidBkground; }
    void SetSolidBackground(bool value) { menu_.SolidBkground = value; }

    // ---- events, in their numbered order ----
    host::Event<> ParentClosing;
    host::Event<Colour&, Colour&, Colour&, Colour&> SynchColors;
    host::Event<HDC&> DrawControl;
    host::Event<> DoubleClick;
    host::Event<> LogoClicked;
    host::Event<bool&> ShowToolbar;
    host::Event<> HideToolbar;
    host::Event<std::int32_t&, std::int32_t&> OpenSysMenu;
    host::Event<> CloseNotify;
    host::Event<> RestoreNotify;
    host::Event<> MaximizeNotify;
    host::Event<> MinimizeNotify;
    host::Event<> FocusEvent;
    host::Event<host::I2&> CaptionClicked;
    host::Event<std::int32_t&> ButtonClicked;

    // ---- what a test or the container may look at ----
    host::PictureBox& picButtons() { return *picButtons_; }
    host::PictureBox& picmin() { return *picmin_; }
    host::PictureBox& Picres() { return *Picres_; }
    host::PictureBox& picClose() { return *picClose_; }
    host::PictureBox& picLogo() { return *picLogo_; }
    // A stored image, loaded once from the resources.
    const host::PicturePtr& StoredPicture(captionbar::StoredImage image) const {
        return images_[static_cast<std::size_t>(image)];
    }
    host::Form* MyParent() const { return myParent_; }
    std::uint8_t ItemMask() const { return menu_.ControlBoxesMask; }
    // The item (1 to 5) under a screen point on the bar, or -1.
    int HitTestItem(POINT screen);

    // What assistive technology is told: a title bar named by the window's title, with its
    // visible boxes as push buttons that do what a click on them does.
    long AccessibleRole() const override;
    std::wstring AccessibleName() const override;
    std::vector<host::AccessibleElement> AccessibleElements() const override;

protected:
    void Initialize() override;
    void Terminate() override;
    void Paint() override {}  // the persistent image shows the bar; at run time nothing more
    void SystemColoursChanged() override;
    void GotFocus() override { FocusEvent(); }
    void MouseDown(int button, int shift, double x, double y) override;
    void MouseMove(int button, int shift, double x, double y) override;
    void MouseUp(int button, int shift, double x, double y) override;
    void DblClick() override;

private:
    using Box = captionbar::Box;

    void CreateConstituents();
    host::PictureBox& AddBox(host::Container& parent, const char* name);
    void RelayoutBoxes();
    void ApplyLayout(const captionbar::BoxLayout& layout);
    void ShowFaces(const captionbar::BoxFaces& faces);
    void ShowFace(host::PictureBox& box, captionbar::StoredImage image);
    void ShowSystemColourFace(host::PictureBox& box, captionbar::StoredImage image);
    void PaintSystemColourBox(Box which);
    void HookBox(host::PictureBox& box, Box which);
    host::PictureBox& BoxOf(Box which);
    bool OnBox(Box which, double x, double y);
    captionbar::StoredImage NormalFace(Box which) const;
    void BoxMouseDown(Box which, int button);
    void BoxMouseMove(Box which, int button, double x, double y);
    void BoxMouseUp(Box which, int button, double x, double y);
    void ResetSizePointer();

    void DrawBackground();
    void DrawContainerLayer();
    // Without a base colour the items are tinted from HilightColor.
    void DrawGlyphItems(std::uint8_t mask, std::optional<Colour> baseColour = {});
    // Without a background colour the text is drawn over what is there.
    void DrawGlyph(HDC dc, int x, int y, const char* text, bool enabled, Colour textColour,
                   std::optional<Colour> backColour);
    captionbar::ItemGeometry Geometry();
    SIZE GlyphSize();
    int BarHeightPixels() const;

    void OnMouseOver(std::int32_t x, std::int32_t y);
    void OnMouseOut();
    void OnParentResize();

    void HoldParent(host::Form* parent);  // MyParent, with its Resize and Unload heard
    bool ParentMaximised() const;
    int ParentWidthPixels() const;
    void ItemAction(int item);
    void Minimise();
    void MaximiseOrRestore();
    void CloseParent();
    void RunCloseSequence();
    void DoubleClickAction();
    bool SetStyleBit(LONG_PTR mask, bool on);
    void RefreshFrame();

    // Constituents: the strip and its three boxes, the logo.
    host::PictureBox* picButtons_ = nullptr;
    host::PictureBox* picmin_ = nullptr;
    host::PictureBox* Picres_ = nullptr;
    host::PictureBox* picClose_ = nullptr;
    host::PictureBox* picLogo_ = nullptr;
    host::PicturePtr images_[captionbar::kImageResources.size()];

    Colour bkcolor_ = 0;
    Colour hilightColor_ = 0;
    Colour glyphColour_ = 0;
    host::Form* myParent_ = nullptr;
    std::string parentName_;
    host::Subscription parentResized_;
    host::Subscription parentUnloaded_;
    bool drawFormBoxes_ = true;
    bool allowMaximize_ = false;
    bool closeButtonOnly_ = false;
    bool toolbarSlider_ = false;
    bool toolbarShownOnce_ = false;
    std::int32_t menuHeight_ = 0;  // twips
    std::int32_t menuWidth_ = 0;
    float left_ = 0;
    float top_ = 0;
    // The menu settings InitMenu keeps (its colours, font, title bar and parent go to the
    // bar's own properties and are not read from here).
    MenuSettings menu_;
    RECT sysMenuRect_{};
    host::Font symbolFont_{"Marlett", 12};
    std::shared_ptr<host::Font> textFont_;
    int redrawState_ = 0;  // -1 after a full redraw, 0 after a partial (hover) one
    bool closing_ = false;
    bool initialised_ = false;  // the first InitMenu has run
    POINT cursor_{};
    std::optional<Box> leftPressedBox_;  // the box the left button went down on, until released
    std::unique_ptr<clsTrackMouse> TrackMouse;
};
