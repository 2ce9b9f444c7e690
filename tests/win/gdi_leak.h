// Leak check for GDI objects, for tests that draw.
//
// GetGuiResources counts a process's GDI objects on Windows, but Wine answers 0. Both
// systems cap the objects of a process (Windows at 10000 by default, Wine 8 at about
// 65000), so the check fills the table up to a small headroom and then repeats the action
// more often than the headroom: an action that leaks even one object a round uses the
// headroom up, and creating one more object fails.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace wintest {

inline bool LeaksGdiObjects(const std::function<void()>& round, int rounds = 400) {
    const DWORD countBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::vector<HPEN> filler;
    while (HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(filler.size()))) {
        filler.push_back(pen);
    }
    for (int i = 0; i < rounds && !filler.empty(); ++i) {
        DeleteObject(filler.back());
        filler.pop_back();
    }

    for (int i = 0; i < rounds; ++i) round();

    HPEN probe = CreatePen(PS_SOLID, 1, 0);
    const bool exhausted = probe == nullptr;
    if (probe) DeleteObject(probe);
    for (HPEN pen : filler) DeleteObject(pen);
    const DWORD countAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return exhausted || countAfter > countBefore;
}

}  // namespace wintest
