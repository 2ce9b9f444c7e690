"""The setup program where a download or a start goes wrong for the user: a line that breaks
during the download (resumed, the installer still saved and started), and a second start
while the window shows (the running window comes forward, the second start ends)."""

import sys
import time
import unittest

import driver
from driver import Session
from test_install_road import DOWNLOAD_TIMEOUT, EMAIL, WINDOW_TIMEOUT, centre

sys.path.insert(0, str(driver.ROOT / "service"))
from request_token import make_request_token  # noqa: E402

BREAK_AT = 90000  # bytes of the installer, about half of the demo installer


class OneWindowAndBrokenLineTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def open_window(self):
        program = self.session.start(driver.PROGRAM)
        window = self.session.wait_window(driver.MAIN_TITLE, timeout=WINDOW_TIMEOUT, process=program)
        if window is None:
            self.fail("the main window did not show")
        return program, window

    def install_pro(self, window):
        window.click(*centre("txtEmail"))
        window.type(EMAIL)
        window.click(*centre("optProLite(1)"))
        self.session.screenshot("filled-in")
        window.click(*centre("cmdInstall"))

    def assert_pro_saved_and_started(self, program):
        s = self.session
        self.assertEqual(0, program.wait(DOWNLOAD_TIMEOUT))
        self.assertEqual([driver.PRO_INSTALLER.name], s.desktop_files())
        self.assertEqual(driver.PRO_INSTALLER.read_bytes(),
                         (s.desktop / driver.PRO_INSTALLER.name).read_bytes())
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while "edition=Pro\n" not in s.record() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertIn("edition=Pro\n", s.record())

    def wait_foreground(self, window_id):
        """The foreground window's X id once it is window_id, or after a while whatever it is."""
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while self.session.foreground_window_id() != window_id and time.monotonic() < deadline:
            time.sleep(0.2)
        return self.session.foreground_window_id()

    def point_off(self, inside, off):
        """A screen point in the lower half of the box `inside` (below a window's caption and
        menu: its text) that the box `off` does not cover; fails when there is none."""
        for fy in (0.75, 0.6, 0.9):
            for fx in (0.5, 0.25, 0.75, 0.1, 0.9):
                x, y = inside.x + int(inside.width * fx), inside.y + int(inside.height * fy)
                if not (off.x <= x < off.x + off.width and off.y <= y < off.y + off.height):
                    return x, y
        self.fail(f"the setup window {off} covers the text of {inside}")

    def test_a_line_broken_during_the_download_is_resumed(self):
        # Slow enough to see the bar move before the break.
        driver.service_control(cut_once=BREAK_AT, throttle=200000)
        program, window = self.open_window()
        self.install_pro(window)
        time.sleep(0.3)
        self.session.screenshot("downloading")
        self.assert_pro_saved_and_started(program)
        requests = [e for e in driver.service_log() if e["path"] == "/dl"]
        size = driver.PRO_INSTALLER.stat().st_size
        self.assertEqual([(200, None, BREAK_AT), (206, f"bytes {BREAK_AT}-{size - 1}/{size}", size - BREAK_AT)],
                         [(e["status"], e.get("content_range"), e["bytes"]) for e in requests])
        self.assertEqual(requests[0]["query"], requests[1]["query"])
        self.assertEqual({"em": EMAIL, "edn": "p", "sub": "off",
                          "tk": make_request_token(EMAIL.encode(), 1)}, requests[0]["query"])
        self.assertEqual(f"bytes={BREAK_AT}-", requests[1]["headers"].get("Range"))
        self.assertEqual(requests[0]["headers"].get("If-Range"), None)
        self.assertTrue(requests[1]["headers"].get("If-Range", "").startswith('"'),
                        "the resumed request does not name the entity's ETag")

    def test_a_second_start_brings_the_running_window_forward_and_ends(self):
        s = self.session
        first, window = self.open_window()
        # Another program's window takes the focus, as when the user went elsewhere.
        other = s.start("notepad")
        notepad = s.wait_window(x_class="notepad.exe", timeout=WINDOW_TIMEOUT)
        self.assertIsNotNone(notepad, "notepad did not show")
        # A click into notepad's text, off the setup window, as a user would make it.
        x, y = self.point_off(notepad.geometry(), window.geometry())
        s.xdotool("mousemove", str(x), str(y))
        s.xdotool("click", "1")
        self.assertEqual(notepad.id, self.wait_foreground(notepad.id))
        second = s.start(driver.PROGRAM)
        self.assertEqual(0, second.wait(WINDOW_TIMEOUT))
        s.screenshot("after-second-start")
        # Wine's foreground window: the X input focus does not always follow it under Wine.
        self.assertEqual(window.id, self.wait_foreground(window.id), "the running window did not come forward")
        self.assertEqual([window.id], s.find_windows(driver.MAIN_TITLE))
        self.assertTrue(first.running())
        other.kill()
        self.install_pro(window)
        self.assert_pro_saved_and_started(first)
        self.assertEqual(1, len([e for e in driver.service_log() if e["path"] == "/dl"]))


if __name__ == "__main__":
    unittest.main()
