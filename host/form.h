// A form: a top-level window of the host holding controls.
//
// Sizes are in twips and include the frame. A form is loaded when its window exists
// (Load, or the first Add); App::Forms() lists the loaded forms. Unload runs the form's own
// OnUnload handler (which may cancel), then the unload subscribers, hides the window and
// leaves App::Forms(); the window and the controls are destroyed as soon as no handler of
// the form or of its controls is running, so a control may unload its form from inside
// one of its own event handlers. The Form object itself stays and can be loaded again.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/control.h"
#include "host/drawing_surface.h"
#include "host/surface_owner.h"
#include "host/font.h"
#include "host/notifier.h"
#include "host/picture.h"
#include "host/property_bag.h"
#include "host/window.h"

namespace host {

class Form : public Window, public Container, public SurfaceOwner {
public:
    enum BorderStyles {
        kBorderNone = 0,
        kBorderFixedSingle = 1,
        kBorderSizable = 2,
        kBorderFixedDialog = 3,
        kBorderFixedToolWindow = 4,
        kBorderSizableToolWindow = 5,
    };
    enum WindowStates { kNormal = 0, kMinimized = 1, kMaximized = 2 };

    explicit Form(std::string name);
    ~Form() override;

    const std::string& Name() const { return name_; }

    bool Load();
    bool Loaded() const { return loaded_; }
    void Unload();

    // Handlers of the form itself.
    std::function<void(int& cancel)> OnUnload;
    std::function<void()> OnResize;
    std::function<void()> OnPaint;  // while AutoRedraw is off
    // Notifications for objects that hold the form (a caption bar hears its parent).
    [[nodiscard]] Subscription SubscribeResize(std::function<void()> handler);
    [[nodiscard]] Subscription SubscribeUnload(std::function<void()> handler);

    HWND hWnd() const override { return Window::hWnd(); }
    HDC hDC() override;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int twips);
    void SetTop(int twips);
    void SetWidth(int twips);
    void SetHeight(int twips);
    void Move(int left, int top, int width, int height);

    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Visible() const;
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    // The control that takes the focus as the form is first activated, so that keys typed the
    // moment the window shows already reach it.
    void FocusWhenShown(const Control& control) { lastFocus_ = control.FocusWindow(); }
    void Hide() { SetVisible(false); }
    const PicturePtr& Icon() const { return icon_; }
    void SetIcon(PicturePtr icon);
    // The form's font, the ambient font of its user controls.
    const std::shared_ptr<host::Font>& GetFont() const { return font_; }
    void SetFont(std::shared_ptr<host::Font> font);
    int WindowState() const;
    void SetWindowState(int state);
    // Brings the form to the front.
    void ZOrder();
    void Refresh() override;

    // Every control of the form, in the order they were added (those inside picture boxes
    // included; constituents of user controls are their own).
    ControlList Controls() const;
    Control* FindControl(const std::string& name, std::optional<int> index = {}) const;

    // Adds a control, in `parent` (a container on this form) or on the form itself. The form
    // owns it; the form is loaded first if it is not. A user control added here is a new
    // instance (InitProperties) unless `stored` gives its stored properties (ReadProperties;
    // a PropertyError from reading them is thrown on, with the control added).
    Control& AddControl(std::unique_ptr<Control> control, Container* parent = nullptr,
                        PropertyBag* stored = nullptr);
    template <typename T, typename... Args>
    T& Add(Args&&... args) {
        return static_cast<T&>(AddControl(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    template <typename T, typename... Args>
    T& AddTo(Container& parent, Args&&... args) {
        return static_cast<T&>(
            AddControl(std::make_unique<T>(std::forward<Args>(args)...), &parent));
    }

    // Container
    double UnitsPerPixelX() const override { return surface_.UnitsPerPixelX(); }
    double UnitsPerPixelY() const override { return surface_.UnitsPerPixelY(); }
    Form* HostForm() const override { return const_cast<Form*>(this); }
    ControlList OwnerControls() const override { return Controls(); }

    // Design-time values of the form's block in a form description: Caption, Left, Top,
    // Width, Height, BorderStyle, BackColor, Font, Icon, WindowState, AutoRedraw.
    void ReadDesignProperties(const PropertyBag& bag);
    void WriteDesignProperties(PropertyBag& bag) const;

    // Alt with a character: the first control a user can reach that takes it as its access
    // key. Alt+Space stays the system menu's.
    bool HandleAccessKey(int character);

    // The controls that can take the focus, in tab order: those with a TabIndex by it, then
    // the others in the order they were added.
    ControlList TabOrder() const;
    // Gives the focus to the next tab stop after the control that holds it (the previous one
    // when `backwards`), wrapping around; from no control, to the first (or the last). A text
    // box reached so has its whole text selected. False when the form has no tab stop now.
    bool MoveFocus(bool backwards);
    // Tab and Shift+Tab on a window of a form, taken before any control sees them: the focus
    // moves in the form's tab order (App::Dispatch asks for every message of the queue).
    // False for every other message, which goes on as usual.
    static bool TakeDialogKey(const MSG& msg);

    // Handler bookkeeping for the deferred destruction (see HandlerScope).
    void EnterHandler() { ++handlersRunning_; }
    void LeaveHandler();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    bool PaintsBackground() const override { return true; }
    void WindowDestroyed() override;

private:
    void FinishUnload();
    void DestroyControls();
    void ApplyWindowState();
    DWORD WindowStyle() const;
    DWORD WindowExStyle() const;

    std::string name_;
    bool loaded_ = false;
    bool destroyPending_ = false;
    int handlersRunning_ = 0;
    int borderStyle_ = kBorderSizable;
    std::string caption_;
    RECT pixels_{0, 0, 320, 240};  // placement while there is no window
    int windowState_ = kNormal;
    HWND lastFocus_ = nullptr;  // the focus inside the form when it was last deactivated
    PicturePtr icon_;
    std::shared_ptr<host::Font> font_;
    std::vector<std::unique_ptr<Control>> controls_;
    Notifier<> resized_;
    Notifier<> unloaded_;
};

}  // namespace host
