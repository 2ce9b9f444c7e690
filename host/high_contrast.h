// Whether the user has chosen high contrast (SPI_GETHIGHCONTRAST). The program's own controls
// then draw with the system's colours instead of their own. The setting is read once and
// again when the system says its settings or colours changed (a form hears that and tells
// its controls through Control::SystemColoursChanged).
#pragma once

#include <optional>

namespace host {

bool HighContrast();
// Reads the setting again.
void RereadHighContrast();
// For tests: high contrast on or off without changing the session's setting; nullopt goes
// back to the system's.
void SetHighContrastForTests(std::optional<bool> on);

}  // namespace host
