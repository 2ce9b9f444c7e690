"""Drives whole programs for the e2e tests: starts them under Wine in the build tree's Wine
session, finds their windows on the session's display, gives them real input (xdotool), takes
screenshots, and reads what the program left behind: the local download service's log, the
Wine desktop folder, the demo installer's record and the addresses handed to the desktop's
opener. Standard library only.

    session = Session(self)            # one per test; cleans up after itself
    program = session.start(PROGRAM)
    window = session.wait_window(MAIN_TITLE, process=program)
    window.click(120, 200); window.type("a@b.com"); session.screenshot("typed")
"""

import ctypes
import ctypes.util
import dataclasses
import getpass
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import time
import urllib.error
import urllib.parse
import urllib.request
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("ORB_E2E_BUILD", ROOT / "build" / "win64")).resolve()
PROGRAM = BUILD / "app" / "OrbVorexTrialWebSetup.exe"
PRO_INSTALLER = BUILD / "tools" / "OrbVorex2009ProTrial.exe"
LITE_INSTALLER = BUILD / "tools" / "OrbVorex2009LiteTrial.exe"
WINDOW_PROBE = BUILD / "tests" / "e2e" / "e2e_window_probe.exe"
SHOTS = BUILD / "e2e" / "shots"
SERVICE = os.environ.get("ORB_E2E_SERVICE", "http://127.0.0.1:18765")
MAIN_TITLE = "Orb Vorex 2009 Trial Web Setup"
MESSAGE_BOX_CLASS = "#32770"

POLL_SECONDS = 0.2
# How long a test waits for what it expects to be drawn: a loaded machine may paint late.
SCREEN_TIMEOUT = 10


# --- the local download service -------------------------------------------------------------

def service_get(path):
    """GET path from the service; returns (status, headers as a dict, body bytes)."""
    try:
        with urllib.request.urlopen(SERVICE + path, timeout=30) as reply:
            return reply.status, dict(reply.headers), reply.read()
    except urllib.error.HTTPError as refusal:
        return refusal.code, dict(refusal.headers), refusal.read()


def service_control(**keys):
    """Changes the service's mode (`busy=1`, `throttle=2000`, `reset=1`, ...)."""
    status, _, body = service_get("/_control?" + urllib.parse.urlencode(keys))
    if status != 200:
        raise RuntimeError(f"the service refused {keys}: {body!r}")


def service_log():
    """The service's log entries since the last reset_log, oldest first."""
    status, _, body = service_get("/_log")
    if status != 200:
        raise RuntimeError(f"the service's log answered {status}")
    return json.loads(body)


SERVICE_SCRIPT = ROOT / "scripts" / "service.sh"


def _service_script(action, *args):
    done = subprocess.run(["bash", str(SERVICE_SCRIPT), action, str(BUILD), *args],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
    if done.returncode != 0:
        raise RuntimeError(f"service.sh {action} failed: {done.stderr.strip()}")


def start_service(*options):
    """(Re)starts the build tree's service on its usual port; options go to orbsvc.py and
    come after the standard ones, so `--installers DIR` replaces the build's installers."""
    _service_script("start", SERVICE.rsplit(":", 1)[1], *options)


# --- screenshots ------------------------------------------------------------------------------

@dataclasses.dataclass(frozen=True)
class Geometry:
    x: int
    y: int
    width: int
    height: int


def _ppm_header(data):
    """(width, height, maximum value, offset of the pixels) of a binary PPM (P6), whose header
    numbers may be separated by blanks and "#" comment lines (convert writes one)."""
    if not data.startswith(b"P6"):
        raise RuntimeError("not a binary PPM")
    numbers, at = [], 2
    while len(numbers) < 3:
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at) + 1
        elif data[at:at + 1].isspace():
            at += 1
        else:
            number = re.match(rb"\d+", data[at:at + 12])
            if not number:
                raise RuntimeError("a broken PPM header")
            numbers.append(int(number.group()))
            at += number.end()
    return numbers[0], numbers[1], numbers[2], at + 1  # one blank ends the header


def sample_points(box, step=3, leave_out=()):
    """Screen points of box (a Geometry) every step pixels, without those inside any of the
    leave_out boxes (e.g. a text box whose caret blinks)."""
    def inside(point, other):
        return (other.x <= point[0] < other.x + other.width
                and other.y <= point[1] < other.y + other.height)
    return [(x, y) for y in range(box.y, box.y + box.height, step)
            for x in range(box.x, box.x + box.width, step)
            if not any(inside((x, y), other) for other in leave_out)]


def outline_points(box, distance, step=3):
    """Screen points every step pixels on the rectangle distance pixels outside box."""
    left, top = box.x - distance, box.y - distance
    right, bottom = box.x + box.width - 1 + distance, box.y + box.height - 1 + distance
    return ([(x, y) for x in range(left, right + 1, step) for y in (top, bottom)]
            + [(x, y) for y in range(top, bottom + 1, step) for x in (left, right)])


class Screenshot:
    """A PNG of the whole display; pixels are read in screen coordinates."""

    def __init__(self, path):
        self.path = Path(path)
        self._size = None
        self._rgb = None

    def _load(self):
        if self._rgb is not None:
            return
        ppm = subprocess.run(["convert", str(self.path), "-depth", "8", "ppm:-"],
                             check=True, capture_output=True, timeout=60).stdout
        width, height, maximum, offset = _ppm_header(ppm)
        if maximum != 255:
            raise RuntimeError(f"convert gave no 8-bit PPM for {self.path}")
        self._size = (width, height)
        self._rgb = ppm[offset:]

    @property
    def size(self):
        self._load()
        return self._size

    def pixel(self, x, y):
        """(r, g, b) of the screen pixel at (x, y)."""
        self._load()
        width, height = self._size
        if not (0 <= x < width and 0 <= y < height):
            raise IndexError(f"({x}, {y}) is outside the {width} x {height} screen")
        at = (y * width + x) * 3
        return tuple(self._rgb[at:at + 3])

    def differing(self, other, points):
        """The points whose pixel differs between this screenshot and other."""
        return [point for point in points if self.pixel(*point) != other.pixel(*point)]


# --- the X pointer's image --------------------------------------------------------------------

class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


@dataclasses.dataclass(frozen=True)
class Cursor:
    """The pointer's shape as the X server shows it: size, hot spot and ARGB pixels."""
    width: int
    height: int
    xhot: int
    yhot: int
    pixels: tuple


def cursor_image(display):
    """The pointer's current shape on display (XFixes), e.g. to tell the hand from the arrow."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        raise RuntimeError(f"cannot open X display {display}")
    try:
        image = xfixes.XFixesGetCursorImage(connection)
        if not image:
            raise RuntimeError("the X server gave no cursor image")
        try:
            c = image.contents
            count = c.width * c.height
            return Cursor(c.width, c.height, c.xhot, c.yhot,
                          tuple(c.pixels[i] & 0xFFFFFFFF for i in range(count)))
        finally:
            x11.XFree(image)
    finally:
        x11.XCloseDisplay(connection)


# --- processes and windows --------------------------------------------------------------------

class Process:
    """A program started under Wine; its output goes to a file (a pipe would be held open by
    Wine's daemons, which inherit it)."""

    def __init__(self, popen, output_path):
        self.popen = popen
        self.output_path = output_path

    def running(self):
        return self.popen.poll() is None

    def output(self):
        return self.output_path.read_text(errors="replace") if self.output_path.exists() else ""

    def wait(self, timeout):
        """Waits for the end; returns the exit code, raises TimeoutError if it runs on."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"{self.popen.args[1]} still runs after {timeout} s; "
                               f"output: {self.output()!r}") from None

    def kill(self):
        """Ends the process and whatever it started in its own process group."""
        if self.running():
            try:
                os.killpg(self.popen.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        self.popen.wait(10)


class Window:
    """A top-level X window of the session's display, driven with xdotool."""

    def __init__(self, session, window_id):
        self.session = session
        self.id = str(window_id)

    def __repr__(self):
        return f"Window({self.id})"

    def geometry(self):
        """Position and size on the screen (xdotool getwindowgeometry --shell)."""
        values = dict(line.split("=", 1) for line in
                      self.session.xdotool("getwindowgeometry", "--shell", self.id).split())
        return Geometry(int(values["X"]), int(values["Y"]),
                        int(values["WIDTH"]), int(values["HEIGHT"]))

    def visible(self):
        return self.id in self.session.find_windows()

    def screen_box(self, left, top, width, height):
        """The box at (left, top) in the window, in screen coordinates from the window's
        geometry as it is now."""
        g = self.geometry()
        return Geometry(g.x + left, g.y + top, width, height)

    def focus(self):
        self.session.xdotool("windowfocus", "--sync", self.id)

    def move_pointer(self, x, y):
        """Puts the pointer at (x, y) relative to the window's top left corner."""
        self.session.xdotool("mousemove", "--window", self.id, str(x), str(y))
        time.sleep(POLL_SECONDS)

    def click(self, x, y, button=1):
        """Moves the pointer to (x, y) in the window and clicks, as a user does."""
        self.move_pointer(x, y)
        self.session.xdotool("click", str(button))
        time.sleep(POLL_SECONDS)

    def type(self, text):
        """Types text into the window's focused control."""
        self.focus()
        self.session.xdotool("type", "--delay", "40", "--", text)

    def key(self, *keys):
        """Presses keys (X key names: Return, space, Tab, alt+F4) in the window."""
        self.focus()
        self.session.xdotool("key", "--", *keys)


class MessageBox(Window):
    """A Wine message box: a top-level window of class #32770."""

    def __init__(self, session, window_id, title, text):
        super().__init__(session, window_id)
        self.title = title
        self.text = text

    def __repr__(self):
        return f"MessageBox({self.id}, {self.title!r}, {self.text!r})"


def _unescape(field):
    return re.sub(r"\\(.)", lambda m: {"t": "\t", "n": "\n", "r": "\r"}.get(m.group(1), m.group(1)),
                  field)


def _exact_title(title):
    """An anchored POSIX extended expression matching title literally (for xdotool search)."""
    return "^" + re.sub(r"([.\[\]()*+?{}|^$\\])", r"\\\1", title) + "$"


def _wait_until(what, timeout, probe):
    """Calls probe until it gives something true; returns it, or None after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        found = probe()
        if found or time.monotonic() >= deadline:
            return found or None
        time.sleep(POLL_SECONDS)


# --- the session ------------------------------------------------------------------------------

def _read_env_file(path):
    env = {}
    for line in path.read_text().splitlines():
        words = shlex.split(line)
        if len(words) == 2 and words[0] == "export" and "=" in words[1]:
            key, value = words[1].split("=", 1)
            env[key] = value
    return env


def _safe_name(text):
    return re.sub(r"[^A-Za-z0-9_.-]+", "_", text)


class Session:
    """One test's view of the Wine session and the service: a fresh record file, a fresh
    recording opener, an empty desktop, the service back in its start mode with an empty log.

    test: the unittest.TestCase (its id names the files); cleanups are registered on it."""

    def __init__(self, test):
        env_file = BUILD / "wine-session.env"
        if not env_file.exists():
            raise RuntimeError(f"no Wine session: run scripts/wine-session.sh start {BUILD}")
        self.name = _safe_name(".".join(test.id().split(".")[-2:]))
        self.dir = BUILD / "e2e" / self.name
        shutil.rmtree(self.dir, ignore_errors=True)
        (self.dir / "bin").mkdir(parents=True)
        SHOTS.mkdir(parents=True, exist_ok=True)
        for old in SHOTS.glob(f"{self.name}-*.png"):
            old.unlink()
        self.record_path = self.dir / "installer-record.txt"
        self.opened_path = self.dir / "opened.txt"
        self._install_opener()
        self.env = dict(os.environ)
        self.env.update(_read_env_file(env_file))
        self.env["PATH"] = f"{self.dir / 'bin'}{os.pathsep}{self.env.get('PATH', '')}"
        self.env["ORB_DEMO_RECORD"] = str(self.record_path)
        self.display = self.env["DISPLAY"]
        self.desktop = self._own_desktop()
        self.clean_desktop()
        service_control(reset=1, reset_log=1)
        self._processes = []
        self._service_changed = False
        test.addCleanup(self.close)

    # Files the program leaves behind.

    def _install_opener(self):
        """A recording xdg-open first on PATH: Wine's shell hands http addresses to it."""
        opener = self.dir / "bin" / "xdg-open"
        opener.write_text("#!/bin/sh\n# Records what the shell asked to open, one call a line.\n"
                          f"printf '%s\\n' \"$*\" >> {shlex.quote(str(self.opened_path))}\n")
        opener.chmod(0o755)

    def opened(self):
        """The argument lines the recording opener was called with, in order."""
        if not self.opened_path.exists():
            return []
        return self.opened_path.read_text().splitlines()

    def record(self):
        """The demo installer's record (edition, program, command line), "" when it never ran."""
        if not self.record_path.exists():
            return ""
        return self.record_path.read_text(errors="replace").replace("\r\n", "\n")

    def _own_desktop(self):
        """The Wine user's Desktop folder, made a real folder inside the prefix.

        A new prefix links Desktop to the Unix home folder; saving test installers there and
        cleaning it before each test would reach the user's own files, so the link is replaced
        by a folder of the prefix (only the link is removed)."""
        users = Path(self.env["WINEPREFIX"]) / "drive_c" / "users"
        candidates = [d / "Desktop" for d in sorted(users.iterdir())
                      if d.name != "Public" and (d / "Desktop").exists()]
        mine = [d for d in candidates if d.parent.name == getpass.getuser()]
        if not (mine or candidates):
            raise RuntimeError(f"no Wine user with a Desktop folder under {users}")
        desktop = (mine or candidates)[0]
        if desktop.is_symlink():
            desktop.unlink()
            desktop.mkdir()
        return desktop

    def desktop_files(self):
        """Names of the files on the Wine desktop."""
        return sorted(p.name for p in self.desktop.iterdir())

    def clean_desktop(self):
        for entry in self.desktop.iterdir():
            if entry.is_dir() and not entry.is_symlink():
                shutil.rmtree(entry)
            else:
                entry.unlink()

    # Programs.

    def start(self, program, *args, autoclose=True, env_extra=None):
        """Starts a Windows program as a user would; autoclose makes a started demo installer
        end at once (ORB_DEMO_AUTOCLOSE); env_extra adds environment variables."""
        env = dict(self.env, **(env_extra or {}))
        if autoclose:
            env["ORB_DEMO_AUTOCLOSE"] = "1"
        else:
            env.pop("ORB_DEMO_AUTOCLOSE", None)
        output = self.dir / f"{Path(program).stem}-{len(self._processes)}.out"
        with open(output, "wb") as out:
            popen = subprocess.Popen(["wine", str(program), *args], env=env, cwd=self.dir,
                                     stdin=subprocess.DEVNULL, stdout=out,
                                     stderr=subprocess.STDOUT, start_new_session=True)
        process = Process(popen, output)
        self._processes.append(process)
        return process

    def close(self):
        """Ends what the test started and left running; puts back the standard service."""
        for process in self._processes:
            process.kill()
        if self._service_changed:
            start_service()
            self._service_changed = False

    def stop_service(self):
        """Stops the download service for the rest of the test."""
        self._service_changed = True
        _service_script("stop")

    def restart_service(self, *options):
        """Runs the service with extra orbsvc.py options (`--installers DIR`, `--busy`) for
        the rest of the test."""
        self._service_changed = True
        start_service(*options)

    # Windows.

    def xdotool(self, *args):
        for _ in range(5):
            done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                                  text=True, timeout=30)
            # A search walks the window tree and fails with BadWindow when a window goes away
            # under it (a message box just dismissed): the next walk no longer meets it.
            if not (args[0] == "search" and "BadWindow" in done.stderr):
                break
        # search answers 1 when it finds nothing; every other command must succeed.
        if done.returncode != 0 and not (args[0] == "search" and not done.stderr.strip()):
            raise RuntimeError(f"xdotool {' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout

    def find_windows(self, title=None, x_class=None):
        """Ids of the visible top-level windows with this exact title and/or X class (Wine
        gives a program's windows the class of its file name, e.g. "orbvorextrialwebsetup.exe")."""
        args = ["search", "--onlyvisible"]
        if title is not None:
            args += ["--name", _exact_title(title)]
        if x_class is not None:
            args += ["--class", _exact_title(x_class)]
        if title is None and x_class is None:
            args += ["--name", ""]
        return self.xdotool(*args).split()

    def wait_window(self, title=None, x_class=None, timeout=10, process=None):
        """The window once it is visible; None after timeout, or as soon as process ends."""
        def probe():
            found = self.find_windows(title, x_class)
            if found:
                return Window(self, found[-1])
            if process is not None and not process.running():
                return "ended"
            return None
        found = _wait_until(title or x_class, timeout, probe)
        return found if isinstance(found, Window) else None

    def wait_main_window(self, process, timeout=10):
        """The program's main window once it is visible; raises AssertionError, saying whether
        the program still runs or how it ended, when there is none within timeout."""
        window = self.wait_window(MAIN_TITLE, timeout=timeout, process=process)
        if window is None:
            state = ("still runs" if process.running()
                     else f"ended with exit code {process.popen.returncode}")
            raise AssertionError(f"no main window within {timeout} s: the program {state}; "
                                 f"output: {process.output()!r}")
        return window

    def wait_gone(self, window, timeout=10):
        """True once the window is no longer visible."""
        return bool(_wait_until(window, timeout, lambda: not window.visible()))

    # Message boxes.

    def message_boxes(self):
        """The visible Wine message boxes (class #32770), with their title and text."""
        listing = self.dir / "windows.txt"
        with open(listing, "wb") as out:
            subprocess.run(["wine", str(WINDOW_PROBE)], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=out, stderr=subprocess.DEVNULL, timeout=60, check=True)
        boxes = []
        for line in listing.read_text(encoding="utf-8", errors="replace").splitlines():
            fields = line.rstrip("\r").split("\t")
            if len(fields) == 4 and _unescape(fields[1]) == MESSAGE_BOX_CLASS:
                boxes.append(MessageBox(self, fields[0], _unescape(fields[2]),
                                        _unescape(fields[3])))
        return boxes

    def foreground_window_id(self):
        """The X id of the window Wine holds as the foreground window ("0" when none): Wine's
        own view, which the X input focus does not always follow."""
        done = subprocess.run(["wine", str(WINDOW_PROBE), "foreground"], env=self.env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=60, check=True)
        return done.stdout.decode("ascii", "replace").strip()

    def wait_message_box(self, title=None, timeout=10):
        """The message box with this title (any title when None) once it is shown, None
        after timeout."""
        return _wait_until(title, timeout, lambda: next(
            (box for box in self.message_boxes() if title in (None, box.title)), None))

    def dismiss(self, box, key="Return", timeout=10):
        """Presses key in the message box and waits until it has gone."""
        box.key(key)
        if not self.wait_gone(box, timeout):
            raise TimeoutError(f"{box!r} is still shown after {key}")

    # Screenshots and the pointer.

    def screenshot(self, step):
        """Saves the whole display as build/win64/e2e/shots/<test>-<step>.png."""
        path = SHOTS / f"{self.name}-{_safe_name(step)}.png"
        dump = self.dir / "screen.xwd"
        subprocess.run(["xwd", "-root", "-silent", "-display", self.display, "-out", str(dump)],
                       check=True, timeout=60)
        subprocess.run(["convert", f"xwd:{dump}", f"png:{path}"], check=True, timeout=60)
        dump.unlink()
        return Screenshot(path)

    def wait_screen(self, step, drawn, timeout=SCREEN_TIMEOUT):
        """Takes screenshots (named after step) until drawn(shot) is true, up to timeout;
        returns that shot, or the last one taken, for the test to judge and to show."""
        deadline = time.monotonic() + timeout
        while True:
            shot = self.screenshot(step)
            if drawn(shot) or time.monotonic() >= deadline:
                return shot
            time.sleep(POLL_SECONDS)

    def wait_steady(self, step, points, timeout=SCREEN_TIMEOUT):
        """A screenshot once the points look the same in two screenshots in a row (the
        window has finished drawing), or the last one taken after timeout."""
        previous = [self.screenshot(step)]

        def unchanged(shot):
            same = not shot.differing(previous[0], points)
            previous[0] = shot
            return same
        return self.wait_screen(step, unchanged, timeout)

    def cursor(self):
        return cursor_image(self.display)


# --- libraries a program loaded ---------------------------------------------------------------

# Wine's +loaddll channel: one line for each library mapped, with its full path and whether
# Wine's own (builtin) or the file's code (native) was taken.
_LOADED_LIBRARY = re.compile(r'trace:loaddll:\w+ Loaded L"((?:[^"\\]|\\.)*)" at \w+: (\w+)')


def loaded_libraries(output):
    """(Windows path, "builtin" or "native") for each library a run's output with
    WINEDEBUG=+loaddll says was loaded, in order; the path's doubled backslashes undone."""
    return [(path.replace("\\\\", "\\"), kind) for path, kind in _LOADED_LIBRARY.findall(output)]


def windows_path(path):
    """The Wine path (drive Z: is the Unix root) of a Unix path."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


# --- the Wine user's shell folders ------------------------------------------------------------

SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
USER_SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"


def wine_reg(session, *args):
    """Runs Wine's reg.exe in the session; returns (exit code, output)."""
    done = subprocess.run(["wine", "reg", *args], env=session.env, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=60)
    return done.returncode, done.stdout.decode("utf-8", errors="replace")


def _registry_value(session, key, name):
    """(type, data) of a registry value, None when it is absent."""
    code, output = wine_reg(session, "query", key, "/v", name)
    if code != 0:
        return None
    for line in output.splitlines():
        fields = line.strip().split(None, 2)
        if len(fields) >= 2 and fields[0] == name:
            return fields[1], fields[2] if len(fields) == 3 else ""
    return None


def redirect_desktop(session, test, windows_path):
    """Points the Wine user's Desktop at windows_path in both shell-folder keys, as a company
    that redirects folders does, for the rest of the test; the cleanup puts the old values
    back (or removes what was not there)."""
    for key, kind in ((USER_SHELL_FOLDERS, "REG_EXPAND_SZ"), (SHELL_FOLDERS, "REG_SZ")):
        old = _registry_value(session, key, "Desktop")
        if old is None:
            test.addCleanup(wine_reg, session, "delete", key, "/v", "Desktop", "/f")
        else:
            test.addCleanup(wine_reg, session, "add", key, "/v", "Desktop", "/t", old[0],
                            "/d", old[1], "/f")
        code, output = wine_reg(session, "add", key, "/v", "Desktop", "/t", kind,
                                "/d", windows_path, "/f")
        if code != 0:
            raise RuntimeError(f"reg add {key} failed: {output}")


def unix_path(session, windows_path):
    """Where a C: path of the session's prefix lies on this machine."""
    drive, _, rest = windows_path.partition(":\\")
    if drive.upper() != "C":
        raise ValueError(f"not on C: {windows_path}")
    return Path(session.env["WINEPREFIX"]) / "drive_c" / Path(*rest.split("\\"))


# --- assistive technology: the program's accessible objects read from a second process ------

ACCESSIBILITY_PROBE = BUILD / "tests" / "e2e" / "e2e_accessibility_probe.exe"

# MSAA roles and states (oleacc.h) the tests name.
ROLE_TITLEBAR, ROLE_CLIENT, ROLE_LINK, ROLE_STATICTEXT = 0x01, 0x0A, 0x1E, 0x29
ROLE_TEXT, ROLE_PUSHBUTTON, ROLE_CHECKBUTTON, ROLE_RADIOBUTTON = 0x2A, 0x2B, 0x2C, 0x2D
ROLE_PROGRESSBAR = 0x30
STATE_UNAVAILABLE, STATE_FOCUSED, STATE_CHECKED = 0x1, 0x4, 0x10
STATE_INVISIBLE, STATE_FOCUSABLE = 0x8000, 0x100000


@dataclasses.dataclass
class AccessibleObject:
    """One object (depth 0 the window, 1 a control) or element (depth 2) as a screen reader
    reads it."""
    depth: int
    role: int
    role_text: str
    name: str
    state: int
    value: str
    default_action: str
    shortcut: str
    location: tuple  # left, top, width, height on the screen

    def has(self, state):
        return bool(self.state & state)


def _run_accessibility_probe(session, *args):
    done = subprocess.run(["wine", str(ACCESSIBILITY_PROBE), *args], env=session.env,
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode(
        "utf-8", "replace")


def accessible_objects(session, title=MAIN_TITLE):
    """The accessible objects of the window with this title and of every window inside it,
    read with AccessibleObjectFromWindow from a second process, with their elements."""
    code, out, err = _run_accessibility_probe(session, "windows", title)
    if code != 0:
        raise RuntimeError(f"the accessibility probe failed: {err.strip()}")
    objects = []
    for line in out.splitlines():
        f = [_unescape(field) for field in line.rstrip("\r").split("\t")]
        if len(f) != 9:
            continue
        objects.append(AccessibleObject(int(f[0]), int(f[1]), f[2], f[3], int(f[4], 16), f[5],
                                        f[6], f[7], tuple(int(n) for n in f[8].split(","))))
    return objects


def wait_accessible_objects(session, ready, timeout=SCREEN_TIMEOUT, title=MAIN_TITLE):
    """The accessible objects (as accessible_objects reads them) once ready(objects) holds;
    after timeout the last ones read, whatever they are, for the caller's checks to report."""
    last = []

    def probe():
        last[:] = accessible_objects(session, title)
        return ready(last)

    _wait_until("accessible objects", timeout, probe)
    return last


def accessible_default_action(session, role, name, title=MAIN_TITLE):
    """Asks the object (or element) of this role and name for its default action, from a
    second process; raises when there is none or the call fails."""
    code, _, err = _run_accessibility_probe(session, "do", title, str(role), name)
    if code != 0:
        raise RuntimeError(f"accDoDefaultAction on {name!r} failed: {err.strip()}")
