#include "controls/button/face_plan.h"

#include <cmath>
#include <utility>

#include "controls/button/button_units.h"

namespace cmdorb {

namespace {

constexpr Colour kWhite = 0xFFFFFF;

// A ramp amount: the whole part of a fraction of the face, as the 16-bit amount of Darken.
// Every band keeps it small (at most 918, for a top band of 255 %).
std::int16_t AmountAt(double fraction) { return static_cast<std::int16_t>(RoundDown(fraction)); }

class FaceBuilder {
public:
    explicit FaceBuilder(const FaceSettings& s)
        : s_(s),
          plan_{PixelsFromTwips(s.width, s.twipsPerPixelX),
                PixelsFromTwips(s.height, s.twipsPerPixelY),
                {}} {}

    // Visits y = from, from + step, ... while y <= to. A step that is not positive (a face
    // of height 0) visits nothing rather than looping for ever.
    template <typename Body>
    void Band(double from, double to, double step, Body body) {
        if (!(step > 0) || !std::isfinite(step)) return;
        for (double y = from; y <= to; y += step) body(y);
    }

    // A 4-pixel line across the face at y twips from the top.
    void BandLine(double y, Colour colour) {
        const std::int32_t row = PixelsFromTwips(y, s_.twipsPerPixelY);
        plan_.lines.push_back({0, row, plan_.width, row, colour, kBandPenWidth});
        last_ = colour;
    }

    void FineLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  Colour colour) {
        plan_.lines.push_back({x1, y1, x2, y2, colour, kFinePenWidth});
    }

    // The colour of the last band line so far; black before the first.
    Colour Last() const { return last_; }
    std::int32_t Width() const { return plan_.width; }
    std::int32_t Height() const { return plan_.height; }

    FacePlan Take() { return std::move(plan_); }

private:
    const FaceSettings& s_;
    FacePlan plan_;
    Colour last_ = 0;
};

// Top band, middle band, then a flat bottom quarter or the menu area. Gives the final cur.
Colour PlanMarkedFace(const FaceSettings& s, FaceBuilder& face) {
    const double H = s.height;
    const double mark = H * s.topMarkPercent / 100;

    const Colour shaded = Darken(s.base, 13);
    face.Band(0, mark, mark / 20, [&](double y) {
        face.BandLine(y, Darken(shaded, AmountAt(y / (H * 0.2) * 72)));
    });

    Colour cur = s.base;
    face.Band(mark, H * 0.75, H * 0.75 / 20, [&](double y) {
        face.BandLine(y, Darken(cur, AmountAt(y / (H * 0.7) * 72)));
    });

    if (!s.hasMenu) {
        const Colour flat = face.Last();
        face.Band(H * 0.75, H, H / 20, [&](double y) { face.BandLine(y, flat); });
        return cur;
    }

    // The menu area: from the last band colour into blue, each line taking the colour worked
    // out after the one before it; brighter while the pointer is over it.
    Colour k = face.Last();
    cur = Darken(k, -103);  // white: every channel passes 255
    const std::int16_t addRG = s.menuHot ? 45 : 15;
    const std::int16_t addB = s.menuHot ? 120 : 70;
    face.Band(H * 0.75, H, H / 20, [&](double y) {
        face.BandLine(y, k);
        k = Darken(cur, AmountAt(y / (H * 0.2) * 16), addRG, addRG, addB);
    });

    // The drop arrow: rows 6, 4 and 2 pixels wide (LineTo leaves out the end point).
    const std::int32_t cx = RoundDown(s.width / 2 / s.twipsPerPixelX);
    const std::int32_t by = RoundDown(H / s.twipsPerPixelY);
    for (std::int32_t i = 0; i < 3; ++i) {
        face.FineLine(cx - 3 + i, by - 4 + i, cx + 3 - i, by - 4 + i, kWhite);
    }
    return cur;
}

// The ramp down to 80 %, then a flat bottom fifth or the checked underline.
void PlanRampFace(const FaceSettings& s, Colour cur, FaceBuilder& face) {
    const double H = s.height;
    face.Band(0, H * 0.8, H * 0.8 / 20, [&](double y) {
        face.BandLine(y, Darken(cur, AmountAt(y / (H * 0.8) * 72)));
    });
    if (s.value && s.underlineChecked) {
        face.Band(H * 0.8, H, H / 10, [&](double y) { face.BandLine(y, s.checkedColor); });
    } else {
        const Colour flat = face.Last();
        face.Band(H * 0.8, H, H / 20, [&](double y) { face.BandLine(y, flat); });
    }
}

// 1-pixel lines at rows and columns 1, 5, 9, ... across the face.
void PlanHatch(Colour colour, FaceBuilder& face) {
    if (face.Width() <= 0 || face.Height() <= 0) return;  // no face to cross
    // 64-bit counters: the step past the last row must not overflow.
    for (std::int64_t row = 1; row < face.Height(); row += 4) {
        const auto r = static_cast<std::int32_t>(row);
        face.FineLine(0, r, face.Width(), r, colour);
    }
    for (std::int64_t column = 1; column < face.Width(); column += 4) {
        const auto c = static_cast<std::int32_t>(column);
        face.FineLine(c, 0, c, face.Height(), colour);
    }
}

}  // namespace

FacePlan PlanFace(const FaceSettings& s) {
    // Without a pixel size there is nothing to convert to; the start-up code never gives 0.
    if (s.twipsPerPixelX <= 0 || s.twipsPerPixelY <= 0) return {0, 0, {}};

    FaceBuilder face(s);
    Colour cur = s.enabled ? s.base : Darken(s.base, -18);
    if (s.topMarkPercent != 0) {
        // A marked face is painted from the base colour even when disabled; only the hatch
        // shows the state.
        cur = PlanMarkedFace(s, face);
    } else {
        PlanRampFace(s, cur, face);
    }
    if (!s.enabled) PlanHatch(Lighten(cur, -40), face);
    return face.Take();
}

bool MenuAreaHot(std::int32_t x, std::int32_t y, double width, double height,
                 std::int32_t twipsPerPixelX, std::int32_t twipsPerPixelY) {
    const double right = width / twipsPerPixelX;
    const double bottom = height / twipsPerPixelY;
    return x > 0 && x <= right && y >= bottom * 0.75 && y <= bottom;
}

}  // namespace cmdorb
