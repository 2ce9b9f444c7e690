"""The main window's caption bar under real mouse gestures: presses that end somewhere else
change nothing, and the close box still closes the program on a left click.

Each gesture presses a button, moves the pointer in steps and releases it (xdotool
mousedown, mousemove, mouseup). Afterwards the program must still run and, with the pointer
parked where it was before, the window must look exactly as it did."""

import time
import unittest

import driver
from driver import Session
from test_version_wait import shows_answer

# The bar's boxes, in pixels from the window's top left corner: the strip (minimise 25 and
# close 42 pixels wide, 17 high) ends 25 pixels short of the window's right edge and lies 20
# pixels down the 42-pixel bar; their places follow from the window's real width.
BOX_STRIP_MARGIN, BOX_TOP, BOX_HEIGHT = 25, 20, 17
CLOSE_WIDTH, MINIMISE_WIDTH = 42, 25
ON_THE_BAR = (250, 20)      # on the bar, off the logo, the title's text and the boxes
EXIT_TOP_EDGE = (458, 328)  # the top edge of cmdExit (372, 336, 100, 31), under item 3's place
BODY = (250, 200)           # the window's body, away from every control
PARK = (2, 200)             # on the window's left border: nothing there reacts to the pointer
TEXT_BOX = (92, 228, 240, 21)  # txtEmail, whose caret blinks: left out of the comparison
INSTALL = (260, 336, 100, 31)  # cmdInstall
EXIT = (372, 336, 100, 31)     # cmdExit

WINDOW_TIMEOUT = 10


def centre(box):
    left, top, width, height = box
    return left + width // 2, top + height // 2


def close_box(window):
    right = window.geometry().width - BOX_STRIP_MARGIN
    return right - CLOSE_WIDTH, BOX_TOP, CLOSE_WIDTH, BOX_HEIGHT


def minimise_box(window):
    return close_box(window)[0] - MINIMISE_WIDTH, BOX_TOP, MINIMISE_WIDTH, BOX_HEIGHT


class CaptionBarGestureTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def open_window(self):
        self.program = self.session.start(driver.PROGRAM)
        window = self.session.wait_main_window(self.program, timeout=WINDOW_TIMEOUT)
        self.window = window
        return window

    def compared_points(self):
        """The window's points every 3 pixels, without the text box whose caret blinks."""
        g = self.window.geometry()
        return driver.sample_points(g, leave_out=[self.window.screen_box(*TEXT_BOX)])

    def park(self):
        # Over the bar first: a move there puts every box's normal image back, as a hovered
        # box keeps its lit image when the pointer jumps off the bar.
        self.window.move_pointer(*ON_THE_BAR)
        self.window.move_pointer(*PARK)

    def parked_shot(self, step):
        """The window, parked, once it has finished drawing (the version query fills its label)."""
        self.park()
        self.session.wait_screen(f"{step} answered", lambda shot: shows_answer(shot, self.window))
        return self.session.wait_steady(step, self.compared_points())

    def gesture(self, button, press_at, *moves):
        """Presses `button` at press_at, moves through `moves`, releases at the last one."""
        s, w = self.session, self.window
        w.move_pointer(*press_at)
        s.xdotool("mousedown", str(button))
        time.sleep(0.3)
        for point in moves:
            w.move_pointer(*point)
        time.sleep(0.3)
        s.xdotool("mouseup", str(button))
        time.sleep(1)

    def assert_window_as_before(self, before, step, gesture):
        """Parks the pointer and waits until the window looks as before (up to the time-out)."""
        self.park()
        points = self.compared_points()
        after = self.session.wait_screen(step, lambda shot: not shot.differing(before, points))
        changed = after.differing(before, points)
        self.assertEqual([], changed[:10], f"{gesture}: {len(changed)} sampled pixels changed")

    def test_presses_released_elsewhere_change_nothing(self):
        # Points in the window; "close" and "minimise" are the boxes' centres, "below close"
        # is on the body under the close box.
        gestures = [
            ("right press on the bar, released on Exit's top edge", 3,
             ON_THE_BAR, (350, 150), EXIT_TOP_EDGE),
            ("left press on the close box, released on the body", 1,
             "close", "below close", BODY),
            ("left press on the close box, off it and back off", 1,
             "close", "below close", "close", BODY),
            ("left press on the close box, released on the minimise box", 1,
             "close", "minimise"),
            ("left press on the minimise box, released on the body", 1, "minimise", BODY),
        ]
        for name, button, *points in gestures:
            with self.subTest(name):
                window = self.open_window()
                close, minimise = centre(close_box(window)), centre(minimise_box(window))
                places = {"close": close, "minimise": minimise, "below close": (close[0], 60)}
                press_at, *moves = [places.get(point, point) for point in points]
                before = self.parked_shot(f"{name} before")
                self.gesture(button, press_at, *moves)
                self.assertTrue(self.program.running(), f"{name}: the program ended")
                self.assertTrue(self.window.visible(), f"{name}: the window is gone")
                self.assert_window_as_before(before, f"{name} after", name)
                self.session.close()  # ends the program

    def test_a_right_press_released_on_exit_leaves_a_download_running(self):
        s = self.session
        driver.service_control(throttle=4000)
        window = self.open_window()
        window.click(*centre(TEXT_BOX))
        window.type("bar.test@example.com")
        window.click(*centre(INSTALL))
        time.sleep(2)
        self.gesture(3, ON_THE_BAR, (350, 150), EXIT_TOP_EDGE)
        self.assertTrue(self.program.running(), "the gesture ended the program")
        self.assertTrue(window.visible())
        self.assertIsNone(s.wait_message_box(timeout=1), "the download goes on without a word")
        window.click(*centre(EXIT))  # cancels the download; the window stays
        self.assertIsNone(s.wait_message_box(timeout=3), "a cancel shows no message")
        self.assertTrue(self.program.running())
        self.assertEqual([], s.desktop_files())

    def test_a_left_click_on_the_close_box_closes_the_program(self):
        window = self.open_window()
        x, y = centre(close_box(window))
        self.gesture(1, (x, y), (x + 3, y))
        self.assertEqual(0, self.program.wait(10))


if __name__ == "__main__":
    unittest.main()
