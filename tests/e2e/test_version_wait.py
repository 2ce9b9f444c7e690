"""The window while the version service takes its time: it shows within the time a user
waits, with "Connecting..." in the version label, answers Exit and Install at once, and the
label takes the error text when the query gives up. A service that answers in time shows the
version in the first picture of the window.

The version label's text is told by the width of its ink: "Connecting..." is the shortest of
the three texts, the error text the longest."""

import time
import unittest

import driver
from driver import Session
from test_install_road import EMAIL, centre

VERSION_LABEL = (128, 196, 320, 17)  # lblLatestVersionVal: left, top, width, height in the window
SHOW_WITHIN = 2.0  # seconds from start to the visible window (the program aims at 1.5)
SHORT_END_MS = 3000  # the query's bound, shortened (ORB_VERSION_END_MS)
CONNECTING_WIDTHS = (20, 100)  # the ink of "Connecting..." is wider than the first, narrower
                               # than the second; the version's and the error text's are wider


def label_ink_width(shot, window):
    """Columns from the label's left edge to its rightmost pixel that is not background."""
    g = window.geometry()
    left, top, width, height = VERSION_LABEL
    background = shot.pixel(g.x + left + width - 2, g.y + top + 1)
    inked = [x for x in range(width - 1)
             if any(shot.pixel(g.x + left + x, g.y + top + y) != background for y in range(height))]
    return max(inked) + 1 if inked else 0


def shows_answer(shot, window):
    """Whether the version label shows the version or the error text, not "Connecting..."."""
    return label_ink_width(shot, window) > CONNECTING_WIDTHS[1]


class VersionWaitTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def start(self, **env):
        """Starts the program; the seconds until its window is visible (looked for every 50 ms,
        finer than the driver's usual polling)."""
        started = time.monotonic()
        self.window = None
        self.program = self.session.start(driver.PROGRAM, env_extra=env)
        while not (found := self.session.find_windows(driver.MAIN_TITLE)):
            self.assertTrue(self.program.running(), "the program ended without its window")
            self.assertLess(time.monotonic() - started, 20, "no main window")
            time.sleep(0.05)
        self.window = driver.Window(self.session, found[-1])
        return time.monotonic() - started

    def end_program(self):
        """Ends the program if it still runs and waits until its window has gone."""
        self.program.kill()
        if self.window:
            self.session.wait_gone(self.window)

    def click(self, name):
        self.window.click(*centre(name))

    def assert_installed(self, installer, edition):
        """The installer is on the desktop and was started (its record may come a little later)."""
        self.assertEqual(0, self.program.wait(60))
        self.assertEqual([installer.name], self.session.desktop_files())
        deadline = time.monotonic() + 10
        while not self.session.record() and time.monotonic() < deadline:
            time.sleep(driver.POLL_SECONDS)
        self.assertIn(f"edition={edition}\n", self.session.record())

    def label_width(self, step, shown=lambda width: width > 0):
        """The version label's ink width once shown(width) holds (by default: once the label
        is drawn at all), or as it is after the time-out."""
        shot = self.session.wait_screen(step, lambda shot: shown(label_ink_width(shot, self.window)))
        return label_ink_width(shot, self.window)

    def test_a_service_that_answers_in_time_shows_the_version_at_once(self):
        self.start()
        version = self.label_width("first")
        self.end_program()
        driver.service_control(reset=1, version_silent=20)
        self.start()
        connecting = self.label_width("connecting")
        self.assertGreater(version, connecting, "the first picture shows the version")

    def test_a_silent_service_shows_the_window_and_exit_ends_it(self):
        for fault in ("version_silent", "version_stall"):
            with self.subTest(fault):
                driver.service_control(reset=1, **{fault: 20})
                try:
                    self.assertLess(self.start(), SHOW_WITHIN)
                    width = self.label_width(f"{fault}-shown")
                    self.assertGreater(width, CONNECTING_WIDTHS[0], "Connecting... is shown")
                    self.assertLess(width, CONNECTING_WIDTHS[1], "Connecting... is shown")
                    self.window.move_pointer(*centre("cmdExit"))
                    clicked = time.monotonic()
                    self.session.xdotool("click", "1")
                    self.assertEqual(0, self.program.wait(timeout=5))
                    self.assertLess(time.monotonic() - clicked, 1.0)
                finally:
                    self.end_program()

    def test_the_label_gives_up_and_install_still_works(self):
        driver.service_control(reset=1, version_silent=20)
        self.start(ORB_VERSION_END_MS=str(SHORT_END_MS))
        connecting = self.label_width("connecting")
        given_up = self.label_width("given-up", lambda width: width > connecting)
        self.assertGreater(given_up, connecting, "the error text replaced Connecting...")
        self.click("txtEmail")
        self.window.type(EMAIL)
        self.click("optProLite(1)")
        self.click("cmdInstall")
        self.assert_installed(driver.PRO_INSTALLER, "Pro")

    def test_install_while_the_version_is_pending(self):
        driver.service_control(reset=1, version_silent=20)
        self.start()
        self.click("txtEmail")
        self.window.type(EMAIL)
        self.click("cmdInstall")
        self.assert_installed(driver.LITE_INSTALLER, "Lite")


if __name__ == "__main__":
    unittest.main()
