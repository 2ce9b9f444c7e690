#include "controls/checklabel/caption_text.h"

#include <algorithm>
#include <array>

#include "controls/checklabel/twips.h"

namespace checklabel {

namespace {

struct KeyRow {
    wchar_t key;
    std::wstring_view accepted;
};

// The standard Hebrew layout, key by key; the first row that accepts a character wins.
constexpr std::array<KeyRow, 27> HebrewLayout{{
    {L'E', L"Ee\u05E7"}, {L'R', L"Rr\u05E8"}, {L'T', L"Tt\u05D0"}, {L'Y', L"Yy\u05D8"},
    {L'U', L"Uu\u05D5"}, {L'I', L"Ii\u05DF"}, {L'O', L"Oo\u05DD"}, {L'P', L"Pp\u05E4"},
    {L'A', L"Aa\u05E9"}, {L'S', L"Ss\u05D3"}, {L'D', L"Dd\u05D2"}, {L'F', L"Ff\u05DB"},
    {L'G', L"Gg\u05E2"}, {L'H', L"Hh\u05D9"}, {L'J', L"Jj\u05D7"}, {L'K', L"Kk\u05DC"},
    {L'L', L"Ll\u05DA"}, {L';', L"\u05E3"},     {L'Z', L"Zz\u05D6"}, {L'X', L"Xx\u05E1"},
    {L'C', L"Cc\u05D1"}, {L'V', L"Vv\u05D4"}, {L'B', L"Bb\u05E0"}, {L'N', L"Nn\u05DE"},
    {L'M', L"Mm\u05E6"}, {L',', L"\u05EA"},     {L'.', L"\u05E5"},
}};

}  // namespace

std::wstring StripAmpersands(std::wstring_view caption) {
    std::wstring stripped;
    stripped.reserve(caption.size());
    std::copy_if(caption.begin(), caption.end(), std::back_inserter(stripped),
                 [](wchar_t c) { return c != L'&'; });
    return stripped;
}

wchar_t AccessKeyLetter(wchar_t c) {
    for (const KeyRow& row : HebrewLayout) {
        if (row.accepted.find(c) != std::wstring_view::npos) return row.key;
    }
    return c;
}

CaptionPlan PlanCaption(std::wstring_view caption, bool wordWrap, double innerWidth,
                        const TextWidthFn& widthOf) {
    CaptionPlan plan;
    if (caption.empty()) return plan;

    if (const auto amp = caption.find(L'&'); amp != std::wstring_view::npos) {
        // Only the first "&" marks the key. The characters before it hold no "&", so they
        // are also the first characters of the stripped text.
        plan.kind = CaptionPlan::Kind::AccessKey;
        plan.FirstLine = StripAmpersands(caption);
        plan.Underlined = amp + 1 < caption.size() ? caption[amp + 1] : L' ';
        plan.UnderlineIndex = amp;
        plan.UnderlineOffset = widthOf(caption.substr(0, amp));
        plan.AccessKey = AccessKeyLetter(plan.Underlined);
        return plan;
    }

    plan.kind = CaptionPlan::Kind::OneLine;
    plan.FirstLine = caption;
    if (!wordWrap || widthOf(caption) <= innerWidth) return plan;

    // The first line takes the characters before the first one that overflows.
    for (std::size_t i = 1; i <= caption.size(); ++i) {
        if (widthOf(caption.substr(0, i)) > innerWidth) {
            plan.kind = CaptionPlan::Kind::TwoLines;
            plan.FirstLine = caption.substr(0, i - 1);
            plan.SecondLine = caption.substr(i - 1);
            break;
        }
    }
    return plan;
}

std::int32_t AutoSizeWidth(std::wstring_view caption, const TextWidthFn& widthOf, bool isLabel,
                           std::int32_t picCheckWidth, std::int32_t twipsPerPixelX) {
    const std::int32_t textWidth = RoundedTextWidth(widthOf(StripAmpersands(caption)));
    const std::int32_t boxRoom = isLabel ? 0 : picCheckWidth;
    return 9 * twipsPerPixelX + boxRoom + textWidth;
}

}  // namespace checklabel
