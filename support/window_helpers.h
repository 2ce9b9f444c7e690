// Window routines the main window and the controls share: the main window's outline, a
// picture's rounded outline, a button's drop shadow, opening a document, a responsive
// wait, whether a form is loaded, and the cached window-frame sizes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/window_shape.h"
#include "host/form.h"
#include "host/standard_controls.h"

namespace windowing {

// Window-frame sizes from the system metrics, asked for once per run.
std::int32_t DlgFrameX();   // SM_CXDLGFRAME
std::int32_t DlgFrameY();   // SM_CYDLGFRAME
std::int32_t SizeFrameX();  // SM_CXFRAME
std::int32_t SizeFrameY();  // SM_CYFRAME

// Gives the form its outline (see PlanWindowShape). Frame values of 0 are taken from the
// sizing-frame metrics for border style 2 and from the dialog-frame metrics otherwise, and
// written back. The window owns the region from then on. A region that cannot be made
// leaves the window as it was.
void ShapeWindow(host::Form& form, double Curvature, bool LogoBump, std::int32_t BumpLeftAdd,
                 std::int32_t BumpTop, std::int32_t BumpRight, std::int32_t BumpBottom,
                 std::int32_t BumpCurvature, std::int32_t& FrameX, std::int32_t& FrameY);

// ShapeWindow's outline values by name, for a call that names each value it gives with a
// designated initialiser; a value it leaves out is 0 or false.
struct WindowShapeSettings {
    double Curvature = 0;
    bool LogoBump = false;
    std::int32_t BumpLeftAdd = 0, BumpTop = 0, BumpRight = 0, BumpBottom = 0, BumpCurvature = 0;
};
inline void ShapeWindow(host::Form& form, const WindowShapeSettings& s, std::int32_t& FrameX,
                        std::int32_t& FrameY) {
    ShapeWindow(form, s.Curvature, s.LogoBump, s.BumpLeftAdd, s.BumpTop, s.BumpRight,
                s.BumpBottom, s.BumpCurvature, FrameX, FrameY);
}

// Rounds the picture box's window off, measured with its own Width and Height (in its
// container's units); not redrawn at once. The window owns the region.
void ShapePicture(host::PictureBox& picture, std::int32_t FrameWidth, double Curvature,
                  std::int32_t LeftAdd, std::int32_t TopAdd);

// Draws the five rows of a button's shadow into `hdc` (its container's), each with a pen of
// its own that is deleted after its one line.
void DrawButtonShadow(const ShadowedButton& button, bool visible, HDC hdc, bool OnlyIfVisible);

// The same for any button with Left, Top, Width, Height (twips), Visible and
// StraightSideMask, such as cmdOrb.
template <typename Button>
void DrawButtonShadow(const Button& button, HDC hdc, bool OnlyIfVisible) {
    DrawButtonShadow(ShadowedButton{button.Left(), button.Top(), button.Width(), button.Height(),
                                    static_cast<std::int32_t>(button.StraightSideMask())},
                     button.Visible(), hdc, OnlyIfVisible);
}

// Asks the shell to open a document or address ("open", show 5); the answer is not read.
void OpenDocument(const std::string& Target);

// Processes events as they arrive, sleeping between them, until the time is up; 0 or less
// returns at once without processing anything.
void WaitMs(std::int32_t Milliseconds);

// Whether a loaded form has exactly this name.
bool IsFormLoaded(const std::string& Name);

}  // namespace windowing
