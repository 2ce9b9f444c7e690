#include "support/window_helpers.h"

#include <cmath>

#include "host/app.h"
#include "host/handles.h"

namespace windowing {

namespace {

// A system metric, asked for once per run.
template <int Index>
std::int32_t CachedMetric() {
    static const std::int32_t value = GetSystemMetrics(Index);
    return value;
}

host::unique_region MakeRegion(const RoundRectPlan& r) {
    return host::unique_region(
        CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, r.ellipseWidth, r.ellipseHeight));
}

int TwipsToPixels(int twips, int twipsPerPixel) {
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / twipsPerPixel));
}

// Hands the region to the window; from then on the window owns it.
void GiveRegion(HWND window, host::unique_region region, bool redraw) {
    if (window && region && SetWindowRgn(window, region.get(), redraw)) region.release();
}

}  // namespace

std::int32_t DlgFrameX() { return CachedMetric<SM_CXDLGFRAME>(); }
std::int32_t DlgFrameY() { return CachedMetric<SM_CYDLGFRAME>(); }
std::int32_t SizeFrameX() { return CachedMetric<SM_CXFRAME>(); }
std::int32_t SizeFrameY() { return CachedMetric<SM_CYFRAME>(); }

void ShapeWindow(host::Form& form, double Curvature, bool LogoBump, std::int32_t BumpLeftAdd,
                 std::int32_t BumpTop, std::int32_t BumpRight, std::int32_t BumpBottom,
                 std::int32_t BumpCurvature, std::int32_t& FrameX, std::int32_t& FrameY) {
    const bool sizable = form.BorderStyle() == host::Form::kBorderSizable;
    if (FrameX == 0) FrameX = sizable ? SizeFrameX() : DlgFrameX();
    if (FrameY == 0) FrameY = sizable ? SizeFrameY() : DlgFrameY();
    const int width = TwipsToPixels(form.Width(), host::App::TwipsPerPixelX());
    const int height = TwipsToPixels(form.Height(), host::App::TwipsPerPixelY());
    const WindowShapePlan plan = PlanWindowShape(width, height, Curvature, LogoBump, BumpLeftAdd,
                                                 BumpTop, BumpRight, BumpBottom, BumpCurvature,
                                                 FrameX, FrameY);
    host::unique_region region = MakeRegion(plan.body);
    if (!region) return;
    if (plan.bump) {
        const host::unique_region bump = MakeRegion(*plan.bump);
        const host::unique_region filler(
            CreateRectRgn(plan.filler->left, plan.filler->top, plan.filler->right, plan.filler->bottom));
        if (!bump || !filler) return;
        CombineRgn(region.get(), region.get(), bump.get(), RGN_OR);
        CombineRgn(region.get(), region.get(), filler.get(), RGN_OR);
    }
    GiveRegion(form.hWnd(), std::move(region), true);
}

void ShapePicture(host::PictureBox& picture, std::int32_t FrameWidth, double Curvature,
                  std::int32_t LeftAdd, std::int32_t TopAdd) {
    const RoundRectPlan plan =
        PlanPictureShape(picture.Width(), picture.Height(), FrameWidth, Curvature, LeftAdd, TopAdd);
    GiveRegion(picture.hWnd(), MakeRegion(plan), false);
}

void DrawButtonShadow(const ShadowedButton& button, bool visible, HDC hdc, bool OnlyIfVisible) {
    if (OnlyIfVisible && !visible) return;
    const auto lines =
        PlanButtonShadow(button, host::App::TwipsPerPixelX(), host::App::TwipsPerPixelY());
    for (const ShadowLine& line : lines) {
        const host::unique_pen pen(CreatePen(PS_SOLID, 1, line.color));
        host::SelectObjectScope selected(hdc, pen.get());
        MoveToEx(hdc, line.fromX, line.y, nullptr);
        LineTo(hdc, line.toX, line.y);
    }
}

void OpenDocument(const std::string& Target) { host::App::ShellOpen(Target); }

void WaitMs(std::int32_t Milliseconds) {
    if (Milliseconds <= 0) return;
    // Elapsed time in unsigned arithmetic, so the tick count's wrap after 49.7 days does
    // not end the wait early or make it endless.
    const DWORD start = GetTickCount();
    const auto wanted = static_cast<DWORD>(Milliseconds);
    for (DWORD elapsed = 0; elapsed < wanted; elapsed = GetTickCount() - start) {
        host::App::WaitForEvents(nullptr, wanted - elapsed);
    }
}

bool IsFormLoaded(const std::string& Name) {
    const auto& forms = host::App::Forms();
    for (std::size_t i = 0; i < forms.size(); ++i) {
        if (forms[i]->Name() == Name) return true;
    }
    return false;
}

}  // namespace windowing
