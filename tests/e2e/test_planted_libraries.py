"""The program run from a download folder where other downloads lie: a DLL planted beside it
under the name of each library it loads, and under the names planted DLLs usually take, is
never loaded and never runs, neither while the window shows nor on the whole install road."""

import os
import shutil
import time
import unittest
from pathlib import Path

import driver
from driver import Session
from test_install_road import DOWNLOAD_TIMEOUT, EMAIL, WINDOW_TIMEOUT, centre

# Names a planted DLL usually takes: libraries the system's own libraries load by bare name.
USUAL_TARGETS = [
    "version", "uxtheme", "dwmapi", "cryptbase", "userenv", "propsys", "shcore", "wininet",
    "oleacc", "winmm", "wintrust", "crypt32", "msasn1", "iertutil", "urlmon", "secur32",
    "sspicli", "profapi", "netapi32", "winhttp", "dnsapi", "iphlpapi", "mpr", "ntmarta",
    "rsaenh", "bcrypt", "ncrypt", "imm32", "msimg32", "comctl32", "comdlg32", "setupapi",
    "cfgmgr32", "devobj", "wldp", "textshaping", "windowscodecs", "explorerframe", "apphelp",
    "kernel.appcore", "dbghelp", "winsta", "wtsapi32", "powrprof", "edputil", "srvcli",
    "linkinfo", "ntshrui", "cscapi", "slc", "sxs", "clbcatq", "mswsock", "ws2_32", "winnsi",
]
# The system's known DLLs the program imports statically (scripts/check-product.sh checks the
# import table): Windows takes these from its own folder whatever lies beside the program, so
# a load under a planted name of one of them is Wine's way of naming the library it has (Wine
# keeps no list of known DLLs). Any other load from the program's folder would be the planted
# file on Windows, whatever code Wine maps for it.
KNOWN_STATIC_IMPORTS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}
# What Debian's Wine 8 itself loads under a planted name while it starts the program and its
# own libraries (measured with +loaddll: each is Wine's builtin code, mapped where its loader
# found the planted file, before or beside the program's first statement). Listed one by one so
# that any library the program comes to load by name from its folder fails the test; of these,
# uxtheme, version and msimg32 are no known DLLs on Windows, and only a run there tells whether
# its loader would take them from the program's folder.
WINE_OWN_LOADS = {"advapi32.dll", "combase.dll", "imm32.dll", "kernelbase.dll", "msimg32.dll",
                  "ole32.dll", "rpcrt4.dll", "sechost.dll", "ucrtbase.dll", "uxtheme.dll",
                  "version.dll", "win32u.dll", "zlib1.dll"}
PLANTED = driver.BUILD / "tests" / "e2e" / "planted.dll"
LOADDLL = {"WINEDEBUG": "+loaddll"}


def base_name(path):
    return path.replace("\\", "/").rsplit("/", 1)[-1].lower()


class PlantedLibraryTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)
        self.folder = self.session.dir / "Downloads"
        self.folder.mkdir()
        self.program = self.folder / driver.PROGRAM.name
        shutil.copy2(driver.PROGRAM, self.program)

    def install_road(self):
        """Starts the copy with +loaddll, installs the Pro edition by mouse and keyboard, and
        gives the libraries the run loaded; fails unless the installer was started."""
        s = self.session
        process = s.start(self.program, env_extra=LOADDLL)
        window = s.wait_window(driver.MAIN_TITLE, timeout=WINDOW_TIMEOUT, process=process)
        self.assertIsNotNone(window, "the main window did not show:\n" + process.output()[-2000:])
        window.click(*centre("txtEmail"))
        window.type(EMAIL)
        window.click(*centre("optProLite(1)"))
        window.click(*centre("cmdInstall"))
        self.assertEqual(0, process.wait(DOWNLOAD_TIMEOUT))
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while "edition=Pro\n" not in s.record() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertIn("edition=Pro\n", s.record(), "the installer was not started")
        return driver.loaded_libraries(process.output())

    def test_no_planted_library_is_loaded_or_runs(self):
        clean = self.install_road()
        names = sorted({base_name(path) for path, _ in clean if path.lower().endswith(".dll")} |
                       {name + ".dll" for name in USUAL_TARGETS})
        for name in names:
            shutil.copy2(PLANTED, self.folder / name)
        self.session.clean_desktop()
        self.session.record_path.unlink(missing_ok=True)

        planted_run = self.install_road()
        folder = driver.windows_path(self.folder).lower() + "\\"
        loaded = sorted({base_name(path) for path, _ in planted_run
                         if path.lower().startswith(folder)} - {self.program.name.lower()})
        native = sorted({base_name(path) for path, kind in planted_run
                         if kind == "native" and path.lower().startswith(folder)} - {self.program.name.lower()})
        known = [name for name in loaded if name in KNOWN_STATIC_IMPORTS]
        wine_own = [name for name in loaded if name in WINE_OWN_LOADS]
        unknown = [name for name in loaded if name not in KNOWN_STATIC_IMPORTS | WINE_OWN_LOADS]
        ran = sorted(p.name[:-len(".ran")] for p in self.folder.glob("*.ran"))
        print(f"\n{len(names)} names planted; loaded from the program's folder: known DLLs the "
              f"program imports {known}, Wine's own {wine_own}, any other {unknown} (of all, the planted file's own "
              f"code: {native}); entry points run: {ran}")
        self.assertEqual([], unknown, "libraries were loaded from the program's folder that Windows "
                         "would take from there: the planted files")
        self.assertEqual([], native, "planted libraries were loaded")
        self.assertEqual([], ran, "planted libraries ran their entry point")


if __name__ == "__main__":
    unittest.main()
