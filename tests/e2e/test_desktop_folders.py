"""The installer saved on a desktop whose folder name the ANSI code page cannot write (the
user's shell folders redirected to a Cyrillic and to a Chinese name), started from there, and
the messages a user sees when saving fails or the e-mail address cannot be sent."""

import shutil
import time
import unittest

import driver
from driver import Session
from test_install_road import DOWNLOAD_TIMEOUT, WINDOW_TIMEOUT, centre

FOLDERS = {
    "cyrillic": "C:\\orb-desktops\\\u0420\u0430\u0431\u043e\u0447\u0438\u0439 \u0441\u0442\u043e\u043b",
    "chinese": "C:\\orb-desktops\\\u684c\u9762 \u738b\u5c0f\u660e",
}
EMAIL = "desk.test@example.com"


class DesktopFolderTests(unittest.TestCase):
    def setUp(self):
        self.session = Session(self)

    def redirect(self, windows_path, create=True):
        folder = driver.unix_path(self.session, windows_path)
        shutil.rmtree(folder, ignore_errors=True)
        if create:
            folder.mkdir(parents=True)
        self.addCleanup(self.remove_if_empty, folder.parent)  # runs after the folder has gone
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        driver.redirect_desktop(self.session, self, windows_path)
        return folder

    @staticmethod
    def remove_if_empty(folder):
        if folder.is_dir() and not any(folder.iterdir()):
            folder.rmdir()

    def open_and_install(self, email=EMAIL):
        s = self.session
        self.program = s.start(driver.PROGRAM)
        self.window = s.wait_window(driver.MAIN_TITLE, timeout=WINDOW_TIMEOUT, process=self.program)
        self.assertIsNotNone(self.window, "no main window")
        self.window.click(*centre("txtEmail"))
        self.window.type(email)
        self.window.click(*centre("cmdInstall"))

    def test_installer_is_saved_and_started_in_a_folder_of_any_language(self):
        for name, windows_path in FOLDERS.items():
            with self.subTest(name):
                folder = self.redirect(windows_path)
                s = self.session
                self.open_and_install()
                self.assertEqual(0, self.program.wait(DOWNLOAD_TIMEOUT), "the program did not end")
                installer = driver.LITE_INSTALLER
                self.assertEqual([installer.name], sorted(p.name for p in folder.iterdir()),
                                 "the folder holds the installer and nothing else")
                self.assertEqual(installer.read_bytes(), (folder / installer.name).read_bytes())
                self.assertEqual([], s.desktop_files(), "saved on the old desktop")
                deadline = time.monotonic() + WINDOW_TIMEOUT
                while "commandline=" not in s.record() and time.monotonic() < deadline:
                    time.sleep(0.2)
                record = s.record()
                self.assertIn("edition=Lite\n", record)
                command_line = record.split("commandline=", 1)[1].split("\n", 1)[0]
                self.assertEqual(f'"{windows_path}\\{installer.name}" /source=web', command_line)
                s.record_path.unlink()

    def test_a_save_failure_says_what_failed(self):
        s = self.session
        missing = FOLDERS["cyrillic"] + " missing"
        self.redirect(missing, create=False)
        self.open_and_install()
        box = s.wait_message_box(timeout=DOWNLOAD_TIMEOUT)
        self.assertIsNotNone(box, "no message")
        s.screenshot("save-failed")
        self.assertTrue(box.text.startswith("The installer could not be saved"), box.text)
        self.assertNotIn("Internet connection", box.text)
        s.dismiss(box)
        self.assertTrue(self.program.running(), "the window stays for another try")
        self.assertEqual("", s.record(), "something was started")
        self.assertFalse(driver.unix_path(s, missing).exists())

    def test_an_address_the_request_cannot_carry_is_refused(self):
        s = self.session
        self.open_and_install(email="\u0436\u0435\u043d\u044f@example.com")
        box = s.wait_message_box(timeout=WINDOW_TIMEOUT)
        self.assertIsNotNone(box, "no message")
        s.screenshot("email-refused")
        self.assertIn("cannot be sent", box.text)
        s.dismiss(box)
        self.assertEqual([], [e for e in driver.service_log() if e["path"] == "/dl"])
        self.assertTrue(self.program.running())


if __name__ == "__main__":
    unittest.main()
