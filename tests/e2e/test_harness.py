"""The whole-program harness itself, proven on the demo installer and the service: a Wine
message box found by its class and dismissed with a key, a screenshot read back, the
installer's record, the service's install answer and the shell's hand-over of an http
address to the desktop's opener."""

import re
import sys
import time
import unittest
import urllib.parse

import driver
from driver import Session

sys.path.insert(0, str(driver.ROOT / "service"))
from request_token import make_request_token  # noqa: E402

DEMO_BOX_TITLE = "Orb Vorex 2009 demo installer"


class DemoInstallerTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def test_message_box_is_found_shown_and_dismissed_with_enter(self):
        s = self.session
        before = s.screenshot("before")
        process = s.start(driver.PRO_INSTALLER, "/S", "/LANG=en", autoclose=False)
        box = s.wait_message_box(DEMO_BOX_TITLE, timeout=20)
        self.assertIsNotNone(box, f"no message box; output: {process.output()!r}")
        self.assertIn("Orb Vorex 2009 Pro Trial", box.text)
        self.assertEqual([box.id], s.find_windows(DEMO_BOX_TITLE))

        g = box.geometry()
        self.assertGreater(g.width, 100)
        # The box is drawn over what was behind it: most of its face differs from the screen
        # before (its text, the installer's path among it, may share a colour with what was
        # there); a frame 5 pixels beside it is unchanged.
        face = driver.sample_points(g)
        beside = driver.outline_points(g, 5)

        def drawn(shot):
            return len(shot.differing(before, face)) > len(face) // 2

        shot = s.wait_screen("message-box", drawn)
        self.assertTrue(drawn(shot), "the box's face is not drawn")
        self.assertEqual([], shot.differing(before, beside))

        box.move_pointer(g.width // 2, 10)
        self.assertGreater(s.cursor().width, 0)

        s.dismiss(box, "Return")
        self.assertEqual(0, process.wait(15))
        record = s.record()
        self.assertIn("edition=Pro\n", record)
        self.assertRegex(record, r'commandline="[^"]*OrbVorex2009ProTrial\.exe" /S /LANG=en\n')

    def test_autoclose_ends_at_once_and_records_each_edition(self):
        for program, edition in [(driver.LITE_INSTALLER, "Lite"), (driver.PRO_INSTALLER, "Pro")]:
            with self.subTest(edition):
                self.session.start(program).wait(20)
        self.assertEqual(["Lite", "Pro"], re.findall(r"edition=(\w+)", self.session.record()))
        self.assertEqual([], self.session.message_boxes())

    def test_desktop_is_an_empty_folder_of_the_prefix(self):
        desktop = self.session.desktop
        self.assertFalse(desktop.is_symlink())
        self.assertTrue(desktop.resolve().is_relative_to(self.session.env["WINEPREFIX"]))
        self.assertEqual([], self.session.desktop_files())


class ServiceTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def install_request(self, email, edition="p", sub="on", token=None):
        number = 1 if edition == "p" else 4
        if token is None:
            token = make_request_token(email.encode("cp1252"), number)
        query = urllib.parse.urlencode({"em": email, "edn": edition, "sub": sub, "tk": token})
        return driver.service_get("/dl?" + query)

    def test_valid_request_gets_the_installer_of_its_edition(self):
        for edition, installer in [("p", driver.PRO_INSTALLER), ("l", driver.LITE_INSTALLER)]:
            with self.subTest(edition):
                status, headers, body = self.install_request("a@b.com", edition)
                self.assertEqual(200, status)
                self.assertEqual(installer.read_bytes(), body)
                self.assertEqual(f'attachment; filename="{installer.name}"',
                                 headers["Content-Disposition"])
        entries = driver.service_log()
        self.assertEqual([("p", 200), ("l", 200)],
                         [(e["query"]["edn"], e["status"]) for e in entries])
        self.assertEqual("a@b.com", entries[0]["query"]["em"])

    def test_forged_token_and_busy_mode(self):
        status, _, _ = self.install_request("a@b.com", token="0000000")
        self.assertEqual(403, status)
        driver.service_control(busy=1)
        status, _, body = self.install_request("a@b.com")
        self.assertEqual((200, b"UPDATING"), (status, body))

    def test_service_with_other_installers_then_the_standard_one_again(self):
        folder = self.session.dir / "short"
        folder.mkdir()
        (folder / driver.PRO_INSTALLER.name).write_bytes(b"MZ" + bytes(29997))
        self.session.restart_service("--installers", str(folder))
        self.assertEqual(29999, len(self.install_request("a@b.com")[2]))
        self.session.stop_service()
        with self.assertRaises(OSError):
            driver.service_get("/latest/version.txt")
        self.session.close()
        self.assertEqual(driver.PRO_INSTALLER.read_bytes(), self.install_request("a@b.com")[2])


class ShellOpenerTests(unittest.TestCase):
    def test_wine_hands_an_http_address_to_the_recording_xdg_open(self):
        # start.exe opens the address through ShellExecuteEx, as the program does: the http
        # handler of the prefix is winebrowser, which runs xdg-open from PATH.
        s = Session(self)
        url = driver.SERVICE + "/compare.htm"
        self.assertEqual(0, s.start("start", url).wait(30))
        deadline = time.monotonic() + 10
        while not s.opened() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual([url], s.opened())


if __name__ == "__main__":
    unittest.main()
