"""Drives the Wine virtual desktop the way a user does: real mouse input
through xdotool, screenshots through ImageMagick's import, and questions about
windows answered by desktop_probe.exe running under Wine.

Used by the mouse-driven tray test and by scripts/demo.sh. Needs DISPLAY and
WINEPREFIX of a running virtual desktop (scripts/wine-env.sh).
"""
import os
import shutil
import subprocess
import tempfile
import time

# Colours of the tray image (resources/make_icon.py): the tile and the arrow.
ICON_TILE = (32, 92, 168)
ICON_ARROW = (200, 40, 40)


class Desktop:
    def __init__(self, build_dir):
        self.build_dir = os.path.abspath(build_dir)
        self.probe_exe = os.path.join(self.build_dir, "tests", "e2e", "desktop_probe.exe")
        if not os.path.exists(self.probe_exe):
            raise RuntimeError("desktop_probe.exe not built: " + self.probe_exe)

    # --- the probe -------------------------------------------------------
    def probe(self, *args, timeout=30):
        """Runs the probe; returns (exit code, output lines)."""
        done = subprocess.run(["wine", self.probe_exe] + [str(a) for a in args], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout, text=True, encoding="latin-1")
        return done.returncode, done.stdout.splitlines()

    def start_probe(self, *args):
        """Starts the probe in the background; returns once it printed 'ready'."""
        process = subprocess.Popen(["wine", self.probe_exe] + [str(a) for a in args], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True, encoding="latin-1")
        first = process.stdout.readline().strip()
        if first != "ready":
            raise RuntimeError("probe did not start: %r" % first)
        return process

    def menu_rect(self):
        """(left, top, right, bottom) of Tarvolin's shown popup menu, or None."""
        _, lines = self.probe("menu")
        return rect_of(lines)

    def wait_menu(self, open_, timeout_ms=5000):
        code, lines = self.probe("wait-menu", "open" if open_ else "closed", timeout_ms)
        return code == 0, rect_of(lines)

    def wait_box(self, timeout_ms=5000):
        """(title, text, (x, y) of the OK button) of a shown message box, or None."""
        code, lines = self.probe("wait-box", timeout_ms)
        if code != 0 or len(lines) < 4:
            return None
        x, y = (int(v) for v in lines[3].split())
        return lines[1], lines[2], (x, y)

    def wait_no_box(self, timeout_ms=5000):
        return self.probe("wait-no-box", timeout_ms)[0] == 0

    def taskbar(self):
        """('visible'|'hidden', (left, top, right, bottom))."""
        _, lines = self.probe("taskbar")
        parts = lines[0].split()
        return parts[0], tuple(int(v) for v in parts[1:5])

    def end_tools(self):
        """Ends every running Tarvolin (what a failed step left behind)."""
        self.probe("end-tools")

    def startup_link(self, delete=False):
        _, lines = self.probe("startup-link", *(["delete"] if delete else []))
        return lines[0].startswith("present")

    # --- the screen ------------------------------------------------------
    def screenshot(self):
        return Screenshot(subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], stdout=subprocess.PIPE,
                                         check=True).stdout)

    def save_screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], check=True)

    def find_tray_icon(self, timeout_s=10.0):
        """Centre of the tray icon in the taskbar, found by its colours."""
        deadline = time.time() + timeout_s
        while True:
            state, (left, top, right, bottom) = self.taskbar()
            if state == "visible":
                found = self.screenshot().find_icon((left, top, right, bottom))
                if found:
                    return found
            if time.time() > deadline:
                return None
            time.sleep(0.1)

    # --- the mouse -------------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True)

    def move(self, x, y):
        self.xdotool("mousemove", x, y)

    def press(self, button):
        self.xdotool("mousedown", button)

    def release(self, button):
        self.xdotool("mouseup", button)

    def click(self, x, y, button=1, repeat=1):
        # Wine's menu loop reads the pointer position from the move; a press
        # arriving in the same instant may be judged at the old position.
        self.move(x, y)
        time.sleep(0.15)
        self.xdotool("click", "--repeat", repeat, "--delay", 120, button)


def rect_of(lines):
    if not lines or not lines[0].startswith("open"):
        return None
    return tuple(int(v) for v in lines[0].split()[1:5])


def menu_item_centre(rect, index, count=3):
    """Centre of item `index` of a popup menu of `count` equal items."""
    left, top, right, bottom = rect
    height = (bottom - top) / count
    return (left + right) // 2, int(top + height * (index + 0.5))


class Screenshot:
    def __init__(self, ppm):
        # Binary PPM: "P6\n<w> <h>\n<max>\n" then RGB bytes.
        fields = []
        position = 0
        while len(fields) < 4:
            while ppm[position:position + 1].isspace():
                position += 1
            if ppm[position:position + 1] == b"#":
                position = ppm.index(b"\n", position) + 1
                continue
            end = position
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[position:end])
            position = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[position + 1:]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def find_icon(self, area):
        """Centre of the tray icon's tile inside `area`, if the arrow shows too."""
        left, top, right, bottom = area
        xs, ys, arrow = [], [], 0
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                colour = self.pixel(x, y)
                if colour == ICON_TILE:
                    xs.append(x)
                    ys.append(y)
                elif colour == ICON_ARROW:
                    arrow += 1
        if len(xs) < 20 or arrow < 3:
            return None
        return (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2

    def dark_pixels(self, left, top, right, bottom, limit=60):
        """How many pixels in the area are near black (a drawn check mark)."""
        count = 0
        for y in range(top, bottom):
            for x in range(left, right):
                if max(self.pixel(x, y)) < limit:
                    count += 1
        return count


class ProgramFolder:
    """A throwaway folder with Tarvolin.exe (under a given name) and its tray image."""

    def __init__(self, build_dir, exe_name="Tarvolin.exe"):
        self.dir = tempfile.mkdtemp(prefix="tarvolin-ux-")
        self.exe = os.path.join(self.dir, exe_name)
        shutil.copy(os.path.join(build_dir, "Tarvolin.exe"), self.exe)
        os.makedirs(os.path.join(self.dir, "Grafiken"))
        shutil.copy(os.path.join(build_dir, "Grafiken", "Icon.ico"), os.path.join(self.dir, "Grafiken", "Icon.ico"))

    def start(self):
        """Starts the program through wine; the Popen's return code is the program's exit code."""
        return subprocess.Popen(["wine", self.exe], cwd=self.dir, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)
