// The base of the program's own controls (user controls): a window with a drawing surface,
// constituent controls, notifications from the host, events to the container, an extender
// and ambient properties.
//
// Life of an instance, in the order of the notifications:
//   Initialize             once the window exists; create constituent controls here
//   InitProperties         a new instance (added at run time, no stored properties), or
//   ReadProperties(bag)    an instance loaded from a form description
//   Resize                 after loading, and whenever the size changes
//   Show                   each time it becomes visible on a visible form (the first matters)
//   Paint                  repaints while AutoRedraw is off
//   Terminate              before its owner destroys it
// Resize, Paint and Show are held back until the properties are loaded. Mouse positions are
// in the control's scale (ScaleMode). Events to the container are host::Event members of the
// derived control (see host/event.h), raised with their arguments by reference.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/control.h"
#include "host/drawing_surface.h"
#include "host/surface_owner.h"
#include "host/event.h"
#include "host/picture.h"
#include "host/property_bag.h"

namespace host {

class UserControl;

// The container's view of one control instance: placement in the container's units.
class Extender {
public:
    explicit Extender(Control& control) : control_(control) {}
    int Left() const { return control_.Left(); }
    int Top() const { return control_.Top(); }
    int Width() const { return control_.Width(); }
    int Height() const { return control_.Height(); }
    void SetLeft(int v) { control_.SetLeft(v); }
    void SetTop(int v) { control_.SetTop(v); }
    void SetWidth(int v) { control_.SetWidth(v); }
    void SetHeight(int v) { control_.SetHeight(v); }
    void Move(int left, int top, int width, int height) { control_.Move(left, top, width, height); }
    const std::string& Name() const { return control_.Name(); }
    // Absent when the instance is not a member of a control array.
    std::optional<int> Index() const { return control_.Index(); }
    bool Visible() const { return control_.Visible(); }
    void SetVisible(bool v) { control_.SetVisible(v); }
    host::Container* Container() const { return control_.Parent(); }
    Form* Parent() const { return control_.HostForm(); }

private:
    Control& control_;
};

// What the container offers its controls.
struct AmbientProperties {
    std::shared_ptr<host::Font> Font;
    bool UserMode = true;  // always run time: this host has no designer
    OleColor BackColor = 0x8000000F;
    OleColor ForeColor = 0x80000012;
};

class UserControl : public Control, public Container, public SurfaceOwner {
public:
    // Mouse pointers (MousePointer): 0 the class's, 1 to 15 the system's shapes (arrow,
    // cross, I-beam, icon, the four sizing arrows, up arrow, hourglass, no-drop, arrow and
    // hourglass, arrow and question mark, size all), 99 MouseIcon.
    enum Pointers { kDefault = 0, kArrow = 1, kHourglass = 11, kCustom = 99 };

    explicit UserControl(std::string name, std::optional<int> index = {});
    ~UserControl() override;

    HWND hWnd() const override { return Control::hWnd(); }
    HDC hDC() override { return surface_.hDC(); }

    // ---- the drawing state (see SurfaceOwner): the back style also restyles the window ----
    void SetBackStyle(int s);
    const std::shared_ptr<host::Font>& GetFont() const { return surface_.GetFont(); }
    void SetFont(std::shared_ptr<host::Font> font) { surface_.SetFont(std::move(font)); }
    // Repaints the window now.
    void Refresh() override;

    // ---- the control's own window settings ----
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);  // 0 none, 1 a single line
    // Right to left mirrors the places of the constituents and the points of the surface;
    // text and the other drawing keep theirs.
    bool RightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool rtl);
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int pointer);
    const PicturePtr& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(PicturePtr icon) { mouseIcon_ = std::move(icon); }
    // Characters that, with Alt, raise AccessKeyPress.
    const std::string& AccessKeys() const { return accessKeys_; }
    void SetAccessKeys(std::string keys) { accessKeys_ = std::move(keys); }
    bool CanGetFocus() const { return canGetFocus_; }
    void SetCanGetFocus(bool can) { canGetFocus_ = can; }

    // ---- the host's services ----
    host::Extender& Extender() { return extender_; }
    AmbientProperties Ambient() const;
    // The controls on the same parent (the form's controls, or the owning user control's).
    ControlList ParentControls() const;
    // Constituent controls, in the order they were added.
    ControlList Controls() const;
    template <typename T, typename... Args>
    T& AddConstituent(Args&&... args) {
        return static_cast<T&>(AddConstituentControl(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    template <typename T, typename... Args>
    T& AddConstituentTo(Container& parent, Args&&... args) {
        return static_cast<T&>(
            AddConstituentControl(std::make_unique<T>(std::forward<Args>(args)...), &parent));
    }
    Control& AddConstituentControl(std::unique_ptr<Control> control, Container* parent = nullptr);

    // Tells the host that a property changed (a designer would save the instance again).
    // A caption, check or availability that changed is announced to assistive technology.
    void PropertyChanged(const std::string& name);
    Event<const std::string&> OnPropertyChanged;

    // Late-bound access by member name, for members a caller reaches by name only. The
    // defaults know no member: false / nullopt.
    virtual bool SetPropertyByName(std::string_view name, const PropertyValue& value);
    virtual std::optional<PropertyValue> GetPropertyByName(std::string_view name) const;

    // Host side: loads the instance (ReadProperties with a bag, InitProperties without),
    // then Resize and, on a visible form, Show. Called once by whoever adds the control.
    // A PropertyError from ReadProperties is thrown on after the load is finished.
    void LoadInstance(PropertyBag* stored);
    // Host side: asks the instance for its stored properties.
    void SaveInstance(PropertyBag& bag) { WriteProperties(bag); }
    bool Loaded() const { return loaded_; }

    // Container
    double UnitsPerPixelX() const override { return surface_.UnitsPerPixelX(); }
    double UnitsPerPixelY() const override { return surface_.UnitsPerPixelY(); }
    Form* HostForm() const override { return Control::HostForm(); }
    ControlList OwnerControls() const override { return Controls(); }
    bool MirrorsChildren() const override { return rightToLeft_; }

    void SetVisible(bool visible) override;
    void BeforeDestroy() override;
    void ContainerVisibilityChanged() override { CheckShown(); }
    bool AccessKey(int character) override;
    // The control itself takes the focus when CanGetFocus is set; a control that passes it to
    // a constituent says so with its own CanTakeFocus and FocusWindow.
    bool CanTakeFocus() const override { return canGetFocus_; }

protected:
    // ---- notifications ----
    virtual void Initialize() {}
    virtual void InitProperties() {}
    virtual void ReadProperties(PropertyBag&) {}
    virtual void WriteProperties(PropertyBag&) {}
    virtual void Show() {}
    virtual void Hide() {}
    virtual void Resize() {}
    virtual void Paint() {}
    virtual void GotFocus() {}
    virtual void LostFocus() {}
    virtual void EnterFocus() {}
    virtual void ExitFocus() {}
    virtual void MouseDown(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    virtual void MouseMove(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    virtual void MouseUp(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    virtual void Click() {}
    virtual void DblClick() {}
    virtual void KeyDown(int& /*keyCode*/, int& /*shift*/) {}
    virtual void KeyPress(int& /*keyAscii*/) {}
    virtual void KeyUp(int& /*keyCode*/, int& /*shift*/) {}
    virtual void AccessKeyPress(int /*keyAscii*/) {}
    virtual void Terminate() {}

    bool CreateControlWindow(HWND parent, const RECT& pixels) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    bool PaintsBackground() const override { return true; }
    void DescendantFocus(bool entering, HWND other) override;
    void WindowDestroyed() override { surface_.Detach(); }

private:
    bool HandleMouse(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleKey(UINT message, WPARAM wParam, LPARAM lParam);
    bool Contains(HWND window) const;
    void CheckShown();

    host::Extender extender_{*this};
    // The constituents placed right in the control, not inside one of them.
    std::vector<Control*> DirectConstituents() const;
    void KeepMirroredPlaces(int clientWidth);
    std::vector<std::unique_ptr<Control>> constituents_;
    int borderStyle_ = 0;
    bool rightToLeft_ = false;
    int mirroredWidth_ = 0;  // the client width, in pixels, the mirrored places were made for
    int mousePointer_ = kDefault;
    PicturePtr mouseIcon_;
    std::string accessKeys_;
    bool canGetFocus_ = true;
    bool loaded_ = false;
    bool shown_ = false;
    bool terminated_ = false;
    bool captured_ = false;  // the host took the capture for a press
    bool pressed_ = false;
};

}  // namespace host
