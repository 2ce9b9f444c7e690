"""The setup program as a user runs it: the road of one install, the busy notice, failures,
a cancelled download, the comparison link and the window's shape. A test fails, saying how
the program ended, when the main window does not show.

LAYOUT places the controls the tests click; the main window's developer keeps it equal to
frmMain's layout."""

import sys
import tempfile
import time
import unittest
from pathlib import Path

import driver
from driver import Session

sys.path.insert(0, str(driver.ROOT / "service"))
from request_token import make_request_token  # noqa: E402

# Control name -> (left, top, width, height) in pixels from the window's top left corner.
# From resources/frmMain.form (twips / 15; controls inside picPP are offset by its place).
LAYOUT = {
    "optProLite(0)": (52, 102, 200, 21),
    "optProLite(1)": (52, 154, 200, 21),
    "lblVersionComparison": (280, 156, 160, 17),
    "txtEmail": (92, 228, 240, 21),
    "chkAddToNewsAndUpdates": (20, 272, 457, 20),
    "picCheckEmailU": (436, 230, 16, 16),
    "picPB": (20, 300, 457, 22),
    "cmdInstall": (260, 336, 100, 31),
    "cmdExit": (372, 336, 100, 31),
}
# Points outside the window's rounded outline, and above the body away from the logo bump,
# relative to the top left corner, given the window's width and height; the developer
# confirms them against the shape of ShapeWindow.
def outside_points(w, h):
    return [(1, 1), (w - 2, 1), (1, h - 2), (w - 2, h - 2), (w - 40, 3)]


def inside_points(w, h):
    return [(w // 2, h // 2), (w // 2, h - 20)]


WINDOW_TIMEOUT = 10
DOWNLOAD_TIMEOUT = 60
EMAIL = "road.test@example.com"
INSTALLER_ARGUMENT_LENGTH = 12  # the installer arguments follow the quoted path as they stand


def place(name):
    if LAYOUT[name] is None:
        raise unittest.SkipTest(f"LAYOUT has no place for {name} yet")
    return LAYOUT[name]


def centre(name):
    left, top, width, height = place(name)
    return left + width // 2, top + height // 2


class InstallRoadTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def open_window(self):
        """Starts the program and waits for its main window; fails when there is none."""
        self.program = self.session.start(driver.PROGRAM)
        window = self.session.wait_main_window(self.program, timeout=WINDOW_TIMEOUT)
        self.window = window
        return window

    def click(self, name):
        self.window.click(*centre(name))

    def fill_in(self, email=EMAIL, pro=True, news=True):
        """Types the address, picks the edition and ticks the news box, as a user does."""
        self.click("txtEmail")
        self.window.type(email)
        self.click("optProLite(1)" if pro else "optProLite(0)")
        if news:
            self.click("chkAddToNewsAndUpdates")
        self.session.screenshot("filled-in")

    def install_requests(self):
        return [e for e in driver.service_log() if e["path"] == "/dl"]

    def assert_nothing_saved(self):
        self.assertEqual([], self.session.desktop_files())
        self.assertEqual("", self.session.record())

    def assert_window_stays(self):
        self.assertTrue(self.program.running())
        self.assertTrue(self.window.visible())

    def steady_shot(self, step):
        """A screenshot once the window has finished drawing (its e-mail box, whose caret
        blinks, left out)."""
        points = driver.sample_points(self.window.geometry(),
                                      leave_out=[self.window.screen_box(*place("txtEmail"))])
        return self.session.wait_steady(step, points)

    def inner_points(self, name, step=3):
        """Screen points of the control's place, 2 pixels in from its edges."""
        left, top, width, height = place(name)
        return driver.sample_points(self.window.screen_box(left + 2, top + 2, width - 4,
                                                           height - 4), step)

    def wait_changed(self, before, name, step):
        """A screenshot once the control's place differs from before, or the last one taken
        after the time-out."""
        points = self.inner_points(name)
        return self.session.wait_screen(step, lambda shot: shot.differing(before, points))

    def region_differs(self, before, after, name):
        """Whether any pixel of the control's place differs between two screenshots."""
        return bool(after.differing(before, self.inner_points(name)))

    def test_road_of_one_install(self):
        s = self.session
        self.open_window()
        s.screenshot("shown")
        self.fill_in()
        self.click("cmdInstall")
        self.assert_pro_installed()

    def park_pointer(self):
        """Puts the pointer in the screen's far corner, off the window: a hover would show the
        same colour as the buttons' focus."""
        self.session.xdotool("mousemove", "1270", "1010")

    def test_road_of_one_install_by_keyboard(self):
        # No mouse after the start: the focus starts in the e-mail box and Tab walks the
        # window's order (e-mail, Lite, Pro, news, Install, Exit).
        s = self.session
        self.park_pointer()
        window = self.open_window()
        shown = self.steady_shot("shown")
        window.type(EMAIL)
        window.key("Tab", "Tab", "space")
        window.key("Tab")
        news_focused = self.wait_changed(shown, "chkAddToNewsAndUpdates", "news-focused")
        self.assertTrue(self.region_differs(shown, news_focused, "chkAddToNewsAndUpdates"),
                        "the news box shows no focus rectangle")
        window.key("space", "Tab")
        install_focused = self.wait_changed(shown, "cmdInstall", "install-focused")
        self.assertTrue(self.region_differs(shown, install_focused, "cmdInstall"),
                        "Install shows no focus colour")
        window.key("space")
        self.assert_pro_installed()

    def test_shift_tab_from_the_email_box_reaches_exit(self):
        s = self.session
        self.park_pointer()
        window = self.open_window()
        shown = self.steady_shot("shown")
        window.key("shift+Tab")
        exit_focused = self.wait_changed(shown, "cmdExit", "exit-focused")
        self.assertTrue(self.region_differs(shown, exit_focused, "cmdExit"),
                        "Exit shows no focus colour")
        window.key("space")
        self.assertEqual(0, self.program.wait(WINDOW_TIMEOUT))
        self.assertEqual([], self.install_requests())
        self.assert_nothing_saved()

    def test_alt_f4_still_closes_the_window(self):
        window = self.open_window()
        window.key("Tab", "alt+F4")
        self.assertEqual(0, self.program.wait(WINDOW_TIMEOUT))
        self.assert_nothing_saved()

    def assert_pro_installed(self):
        """The Pro installer asked for with the news box ticked, saved and started, and the
        program ended."""
        s = self.session
        self.assertEqual(0, self.program.wait(DOWNLOAD_TIMEOUT))
        (request,) = self.install_requests()
        self.assertEqual({"em": EMAIL, "edn": "p", "sub": "on",
                          "tk": make_request_token(EMAIL.encode(), 1)}, request["query"])
        self.assertEqual(200, request["status"])
        self.assertEqual([driver.PRO_INSTALLER.name], s.desktop_files())
        self.assertEqual(driver.PRO_INSTALLER.read_bytes(),
                         (s.desktop / driver.PRO_INSTALLER.name).read_bytes())
        # The installer is a process of its own, started as the program ends: its record may
        # come a little after the program has gone.
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while not s.record() and time.monotonic() < deadline:
            time.sleep(0.2)
        record = s.record()
        self.assertIn("edition=Pro\n", record)
        command_line = record.split("commandline=", 1)[1].split("\n", 1)[0]
        quoted, arguments = command_line[1:].split('"', 1)
        self.assertTrue(command_line.startswith('"'))
        self.assertTrue(quoted.endswith("\\Desktop\\" + driver.PRO_INSTALLER.name), quoted)
        self.assertEqual(INSTALLER_ARGUMENT_LENGTH, len(arguments), arguments)
        self.assertFalse(self.window.visible())

    def test_busy_notice_then_install_is_enabled_again(self):
        s = self.session
        driver.service_control(busy=1)
        self.open_window()
        self.fill_in()
        for attempt in ("first", "again"):
            with self.subTest(attempt):
                self.click("cmdInstall")
                box = s.wait_message_box(timeout=DOWNLOAD_TIMEOUT)
                self.assertIsNotNone(box, "no busy notice")
                s.screenshot(f"busy-{attempt}")
                s.dismiss(box, "Return")
        # The second click reached the service: Install was enabled again after the notice.
        self.assertEqual(2, len(self.install_requests()))
        self.assert_nothing_saved()
        self.assert_window_stays()

    def test_failures_show_the_critical_message(self):
        def stop_service():
            self.session.stop_service()

        def short_installer():
            folder = Path(tempfile.mkdtemp(dir=self.session.dir))
            (folder / driver.PRO_INSTALLER.name).write_bytes(b"MZ" + bytes(29997))
            self.session.restart_service("--installers", str(folder))

        for case, after_version_query in [("service stopped", stop_service),
                                          ("body of 29999 bytes", short_installer)]:
            with self.subTest(case):
                self.open_window()
                after_version_query()
                self.fill_in()
                self.click("cmdInstall")
                box = self.session.wait_message_box(timeout=DOWNLOAD_TIMEOUT)
                self.assertIsNotNone(box, "no failure message")
                self.session.screenshot(f"failure-{case}")
                self.session.dismiss(box, "Return")
                self.assert_nothing_saved()
                self.assert_window_stays()
                self.session.close()  # ends the program, puts the standard service back
                driver.service_control(reset_log=1)

    def test_cancelled_download(self):
        s = self.session
        driver.service_control(throttle=4000)
        window = self.open_window()
        self.fill_in()
        window.move_pointer(2, window.geometry().height // 2)
        idle = self.steady_shot("idle")
        self.click("cmdInstall")
        # Downloading: the progress bar is shown where there was nothing.
        downloading = self.wait_changed(idle, "picPB", "downloading")
        self.assertTrue(self.region_differs(idle, downloading, "picPB"), "no progress bar")
        self.click("cmdExit")
        self.assertIsNone(s.wait_message_box(timeout=3), "a cancel shows no message")
        window.move_pointer(2, window.geometry().height // 2)
        # The exit caption is back and the progress bar hidden: both look as before Install.
        points = self.inner_points("cmdExit") + self.inner_points("picPB")
        cancelled = s.wait_screen("cancelled", lambda shot: not shot.differing(idle, points))
        self.assertEqual([], cancelled.differing(idle, points)[:10])
        self.assert_nothing_saved()
        self.assert_window_stays()

    def test_a_silent_service_leaves_the_window_answering(self):
        # The service takes the request and says nothing: the window must still take the clicks
        # on Exit, the first as a cancel, the second as the end of the program.
        driver.service_control(silent=20)
        self.open_window()
        self.fill_in()
        self.click("cmdInstall")
        time.sleep(1)
        self.click("cmdExit")
        self.assertIsNone(self.session.wait_message_box(timeout=1), "a cancel shows no message")
        self.click("cmdExit")
        # Well before the service's 20 s of silence are over.
        self.assertEqual(0, self.program.wait(timeout=5))
        self.assert_nothing_saved()

    def test_comparison_link_opens_the_page_with_the_hand_pointer(self):
        s = self.session
        window = self.open_window()
        window.move_pointer(*centre("optProLite(0)"))
        arrow = s.cursor()
        window.move_pointer(*centre("lblVersionComparison"))
        self.assertNotEqual(arrow, s.cursor(), "the pointer over the link is not the hand")
        self.click("lblVersionComparison")
        deadline = time.monotonic() + 10
        while not s.opened() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual([driver.SERVICE + "/compare.htm"], s.opened())

    def test_window_shape(self):
        s = self.session
        background = s.screenshot("background")
        window = self.open_window()
        g = window.geometry()
        outside = [(g.x + x, g.y + y) for x, y in outside_points(g.width, g.height)]
        inside = [(g.x + x, g.y + y) for x, y in inside_points(g.width, g.height)]

        def shaped_and_drawn(shot):
            return (not shot.differing(background, outside)
                    and len(shot.differing(background, inside)) == len(inside))
        shot = s.wait_screen("window", shaped_and_drawn)
        for x, y in outside:
            self.assertEqual(background.pixel(x, y), shot.pixel(x, y),
                             f"({x - g.x}, {y - g.y}) should show what is behind the window")
        for x, y in inside:
            self.assertNotEqual(background.pixel(x, y), shot.pixel(x, y),
                                f"({x - g.x}, {y - g.y}) is the window")


if __name__ == "__main__":
    unittest.main()
