#include "host/high_contrast.h"

#include <windows.h>

namespace host {

namespace {

struct Setting {
    std::optional<bool> system;  // read when first asked
    std::optional<bool> test;
};

Setting& Current() {
    static Setting setting;
    return setting;
}

bool ReadSystem() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

bool HighContrast() {
    Setting& s = Current();
    if (s.test) return *s.test;
    if (!s.system) s.system = ReadSystem();
    return *s.system;
}

void RereadHighContrast() { Current().system = ReadSystem(); }

void SetHighContrastForTests(std::optional<bool> on) { Current().test = on; }

}  // namespace host
