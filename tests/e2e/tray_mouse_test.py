"""The real Tarvolin.exe in the Wine virtual desktop, used with the real mouse:
xdotool presses the buttons over the tray icon that the shell draws in its
taskbar, the probe tells which windows are shown, screenshots show the menu.

    python3 tray_mouse_test.py BUILD_DIR

Needs DISPLAY and WINEPREFIX of a running virtual desktop (scripts/test.sh).
The steps run in order on one running program; the last one quits it.
"""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Desktop, ProgramFolder, menu_item_centre  # noqa: E402

BUILD_DIR = None
AWAY = (400, 300)  # a spot on the empty desktop
AUTOSTART, INFORMATION, QUIT = 0, 1, 2
INFORMATION_TEXT_START = "Tarvolin 1.0.0\\r"


class TrayIconWithTheMouse(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop(BUILD_DIR)
        cls.desktop.end_tools()  # one tray icon only: ours
        cls.desktop.startup_link(delete=True)
        cls.folder = ProgramFolder(BUILD_DIR)
        cls.process = cls.folder.start()
        cls.icon = cls.desktop.find_tray_icon(timeout_s=15)

    @classmethod
    def tearDownClass(cls):
        if cls.process.poll() is None:
            cls.desktop.end_tools()
            cls.process.wait(timeout=10)
        cls.desktop.startup_link(delete=True)
        cls.folder.remove()

    def setUp(self):
        self.assertIsNotNone(self.icon, "the tray icon was not found in the taskbar")
        self.assertIsNone(self.process.poll(), "the program is not running")

    def tearDown(self):
        # Leave no menu or box open for the next step.
        if self.desktop.menu_rect():
            self.close_menu()

    # Helpers -------------------------------------------------------------
    def open_menu(self):
        self.desktop.click(*self.icon, button=3)
        opened, rect = self.desktop.wait_menu(True)
        self.assertTrue(opened, "a right-click on the tray icon did not open the menu")
        return rect

    def close_menu(self):
        self.desktop.click(*AWAY)
        closed, _ = self.desktop.wait_menu(False, 3000)
        self.assertTrue(closed, "a click elsewhere did not close the menu")

    def choose(self, item):
        rect = self.open_menu()
        x, y = menu_item_centre(rect, item)
        self.desktop.click(x, y)
        closed, _ = self.desktop.wait_menu(False)
        self.assertTrue(closed, "the menu stayed open after choosing an item")

    def check_mark_pixels(self, rect, item):
        """Near-black pixels in the left column of an item of the shown menu."""
        left, top, right, bottom = rect
        cx, cy = menu_item_centre(rect, item)
        return self.desktop.screenshot().dark_pixels(left + 3, cy - 6, left + 21, cy + 7)

    def assert_next_to(self, rect, point):
        left, top, right, bottom = rect
        x, y = point
        dx = max(left - x, 0, x - right)
        dy = max(top - y, 0, y - bottom)
        self.assertLessEqual(max(dx, dy), 24, "menu %s is not at the pointer %s" % (rect, point))

    def opens_during(self, action, watch_ms):
        watcher = self.desktop.start_probe("watch-menu", watch_ms)
        action()
        out, _ = watcher.communicate(timeout=watch_ms / 1000 + 20)
        words = out.split()
        return int(words[1])

    # Steps ---------------------------------------------------------------
    def test_1_tooltip_shows_name_and_version(self):
        self.desktop.move(*AWAY)
        self.desktop.move(*self.icon)
        code, lines = self.desktop.probe("wait-tooltip", 5000)
        self.assertEqual(code, 0, "no tooltip appeared over the tray icon")
        self.assertEqual(lines[0], "Tarvolin 1.0.0")
        self.desktop.move(*AWAY)

    def test_2_left_press_and_left_double_click_do_nothing(self):
        x, y = self.icon

        def left_buttons():
            self.desktop.move(x, y)
            self.desktop.press(1)
            self.desktop.release(1)
            time.sleep(0.7)  # apart, so the next two make a double-click of their own
            self.desktop.click(x, y, button=1, repeat=2)

        self.assertEqual(self.opens_during(left_buttons, 2000), 0)

    def test_3_right_click_opens_the_menu_and_a_click_elsewhere_closes_it(self):
        x, y = self.icon
        self.desktop.click(x, y, button=3)
        opened, rect = self.desktop.wait_menu(True, 3000)
        self.assertTrue(opened, "a right-click on the tray icon did not open the menu")
        # Opened at the cursor: the shell keeps it inside the screen and above
        # the taskbar, so it ends next to the pointer rather than at it.
        self.assert_next_to(rect, (x, y))
        self.close_menu()

    def test_4_right_double_click_opens_the_menu_once(self):
        x, y = self.icon
        self.desktop.move(x, y)
        self.assertEqual(self.opens_during(lambda: self.desktop.click(x, y, button=3, repeat=2), 2500), 1)

    def test_5_information_box_and_right_presses_while_it_shows(self):
        self.choose(INFORMATION)
        box = self.desktop.wait_box()
        self.assertIsNotNone(box, "no information box")
        title, text, ok = box
        self.assertEqual(title, "Informationen")
        self.assertTrue(text.startswith(INFORMATION_TEXT_START), text)
        # Two right presses apart (no double-click) while the box is up.
        x, y = self.icon
        for _ in range(2):
            self.desktop.click(x, y, button=3)
            time.sleep(0.7)
        self.assertIsNone(self.desktop.menu_rect(), "the menu opened while the box was showing")
        # Closing the box with the mouse: then the menu opens once, at the cursor.
        opens = self.opens_during(lambda: self.desktop.click(*ok), 2500)
        self.assertTrue(self.desktop.wait_no_box())
        self.assertEqual(opens, 1)
        rect = self.desktop.menu_rect()
        self.assertIsNotNone(rect)
        self.assert_next_to(rect, ok)

    def test_6_autostart_writes_the_shortcut_and_sets_the_check_mark(self):
        self.assertFalse(self.desktop.startup_link())
        rect = self.open_menu()
        self.assertEqual(self.check_mark_pixels(rect, AUTOSTART), 0, "check mark shown before autostart was on")
        self.close_menu()

        self.choose(AUTOSTART)
        deadline = time.time() + 5
        while not self.desktop.startup_link() and time.time() < deadline:
            time.sleep(0.1)
        self.assertTrue(self.desktop.startup_link(), "Tarvolin.lnk not written to the Startup folder")
        rect = self.open_menu()
        self.assertGreater(self.check_mark_pixels(rect, AUTOSTART), 5, "no check mark at Autostart")
        self.assertEqual(self.check_mark_pixels(rect, INFORMATION), 0)
        self.close_menu()

        # And off again: the shortcut goes, so does the mark.
        self.choose(AUTOSTART)
        deadline = time.time() + 5
        while self.desktop.startup_link() and time.time() < deadline:
            time.sleep(0.1)
        self.assertFalse(self.desktop.startup_link(), "Tarvolin.lnk not deleted")
        rect = self.open_menu()
        self.assertEqual(self.check_mark_pixels(rect, AUTOSTART), 0, "check mark left after autostart was off")

    def test_7_right_press_opens_the_menu_before_the_release(self):
        x, y = self.icon
        self.desktop.move(x, y)
        self.desktop.press(3)
        try:
            opened, rect = self.desktop.wait_menu(True, 3000)
            self.assertTrue(opened, "the menu did not open on the press")
        finally:
            self.desktop.release(3)
        opened, _ = self.desktop.wait_menu(True, 1000)
        self.assertTrue(opened, "the menu closed on the release")
        # Under Wine, a menu opened while the button is still down no longer
        # gets the later clicks (they go to the desktop); it is ended from
        # outside here, as the system does with WM_CANCELMODE.
        code, _ = self.desktop.probe("cancel-menu")
        self.assertEqual(code, 0)
        self.desktop.click(*AWAY)  # and the desktop has the pointer again

    def test_9_quit_ends_with_code_zero_and_takes_the_icon_away(self):
        self.choose(QUIT)
        try:
            code = self.process.wait(timeout=10)
        except Exception:
            code = None
        self.assertEqual(code, 0)
        state, area = self.desktop.taskbar()
        self.assertIsNone(self.desktop.screenshot().find_icon(area), "the tray icon stayed after the end")


if __name__ == "__main__":
    BUILD_DIR = sys.argv.pop(1)
    unittest.main(verbosity=2)
