"""The setup window as a screen reader reads it from another process: every control a user
can reach says what it is (role, name, state, default action), and the default actions do
what a click does (Install installs, the close box closes the window)."""

import unittest

import driver
from driver import Session
from test_install_road import DOWNLOAD_TIMEOUT, EMAIL, WINDOW_TIMEOUT, make_request_token

D = driver
# role, name, states it has, states it must not have, default action; one row per control.
EXPECTED = [
    (D.ROLE_TITLEBAR, D.MAIN_TITLE, 0, D.STATE_INVISIBLE, ""),
    (D.ROLE_PUSHBUTTON, "Minimize", 0, D.STATE_INVISIBLE, "Press"),
    (D.ROLE_PUSHBUTTON, "Close", 0, D.STATE_INVISIBLE, "Press"),
    (D.ROLE_STATICTEXT, "Please choose the version you wish to install:", 0, 0, ""),
    (D.ROLE_RADIOBUTTON, "Orb Vorex 2009 Lite Trial", D.STATE_CHECKED | D.STATE_FOCUSABLE, 0,
     "Select"),
    (D.ROLE_RADIOBUTTON, "Orb Vorex 2009 Pro Trial", D.STATE_FOCUSABLE, D.STATE_CHECKED, "Select"),
    (D.ROLE_LINK, "(What's the difference ?)", 0, 0, "Jump"),
    (D.ROLE_STATICTEXT, "Latest version:", 0, 0, ""),
    (D.ROLE_TEXT, "Email:", D.STATE_FOCUSED | D.STATE_FOCUSABLE, 0, ""),
    (D.ROLE_CHECKBUTTON, "Send news and updates to this email address", D.STATE_FOCUSABLE,
     D.STATE_CHECKED | D.STATE_UNAVAILABLE, "Check"),
    (D.ROLE_PROGRESSBAR, "Download progress", D.STATE_INVISIBLE, 0, ""),
    (D.ROLE_PUSHBUTTON, "Install", D.STATE_FOCUSABLE, D.STATE_UNAVAILABLE | D.STATE_FOCUSED, "Press"),
    (D.ROLE_PUSHBUTTON, "Exit", D.STATE_FOCUSABLE, D.STATE_UNAVAILABLE, "Press"),
]


class AccessibilityTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def open_window(self):
        self.program = self.session.start(driver.PROGRAM)
        self.window = self.session.wait_window(driver.MAIN_TITLE, timeout=WINDOW_TIMEOUT,
                                               process=self.program)
        if self.window is None:
            self.fail("the main window did not show")
        return self.window

    def find(self, objects, role, name):
        found = [o for o in objects if o.role == role and o.name == name]
        self.assertEqual(1, len(found), f"objects of role {role:#x} named {name!r}: {found}")
        return found[0]

    def test_every_control_says_what_it_is(self):
        window = self.open_window()
        objects = driver.accessible_objects(self.session)
        g = window.geometry()
        for row, (role, name, has, lacks, action) in enumerate(EXPECTED):
            with self.subTest(row=row, name=name):
                o = self.find(objects, role, name)
                self.assertEqual(has, o.state & has, f"{o}")
                self.assertEqual(0, o.state & lacks, f"{o}")
                self.assertEqual(action, o.default_action)
                left, top, width, height = o.location
                if not o.has(D.STATE_INVISIBLE):
                    self.assertTrue(g.x <= left and left + width <= g.x + g.width
                                    and g.y <= top and top + height <= g.y + g.height, f"{o}")
        # The boxes are elements of the title bar; this window allows no maximising.
        self.assertEqual({"Minimize", "Close"},
                         {o.name for o in objects if o.depth == 2 and o.role == D.ROLE_PUSHBUTTON})
        self.assertEqual([], [o for o in objects if o.name == "Maximize"])

        # The typed address is the e-mail box's value.
        window.type(EMAIL)
        objects = driver.wait_accessible_objects(
            self.session, lambda found: any(o.role == D.ROLE_TEXT and o.value == EMAIL for o in found))
        self.assertEqual(EMAIL, self.find(objects, D.ROLE_TEXT, "Email:").value)

    def test_default_actions_install_as_clicks_do(self):
        s = self.session
        window = self.open_window()
        window.type(EMAIL)
        driver.accessible_default_action(s, D.ROLE_RADIOBUTTON, "Orb Vorex 2009 Pro Trial")
        driver.accessible_default_action(s, D.ROLE_CHECKBUTTON,
                                         "Send news and updates to this email address")
        # Each default action runs from the window's queue: read once both have.
        objects = driver.wait_accessible_objects(s, lambda found: any(
            o.role == D.ROLE_CHECKBUTTON and o.has(D.STATE_CHECKED) for o in found))
        self.assertTrue(self.find(objects, D.ROLE_RADIOBUTTON, "Orb Vorex 2009 Pro Trial")
                        .has(D.STATE_CHECKED))
        self.assertFalse(self.find(objects, D.ROLE_RADIOBUTTON, "Orb Vorex 2009 Lite Trial")
                         .has(D.STATE_CHECKED))
        news = self.find(objects, D.ROLE_CHECKBUTTON, "Send news and updates to this email address")
        self.assertTrue(news.has(D.STATE_CHECKED))
        self.assertEqual("Uncheck", news.default_action)

        driver.accessible_default_action(s, D.ROLE_PUSHBUTTON, "Install")
        self.assertEqual(0, self.program.wait(DOWNLOAD_TIMEOUT))
        (request,) = [e for e in driver.service_log() if e["path"] == "/dl"]
        self.assertEqual({"em": EMAIL, "edn": "p", "sub": "on",
                          "tk": make_request_token(EMAIL.encode(), 1)}, request["query"])
        self.assertEqual([driver.PRO_INSTALLER.name], s.desktop_files())

    def test_default_action_of_the_close_box_closes_the_window(self):
        self.open_window()
        driver.accessible_default_action(self.session, D.ROLE_PUSHBUTTON, "Close")
        self.assertEqual(0, self.program.wait(WINDOW_TIMEOUT))
        self.assertEqual([], [e for e in driver.service_log() if e["path"] == "/dl"])


if __name__ == "__main__":
    unittest.main()
