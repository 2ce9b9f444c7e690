#!/usr/bin/env bash
# Keeps the transfer apart from the window: no file of app/transfer/ includes the window's
# headers (app/window/: the main window, its progress view, the taskbar), host/'s controls
# and windows, or the controls. The transfer reports to a watcher; the window implements it.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
forbidden='^\s*#\s*include\s*"(app/window/|controls/|host/(standard_controls|form|form_loader|control|user_control|window|drawing_surface|accessible)\.h)'
found=$(grep -EHn "$forbidden" "$root"/app/transfer/*.h "$root"/app/transfer/*.cpp || true)
if [[ -n $found ]]; then
    echo "FAIL: the transfer includes the window's side:" >&2
    echo "$found" >&2
    exit 1
fi
echo "app/transfer/: $(ls "$root"/app/transfer | wc -l) files, none includes the window's side"
