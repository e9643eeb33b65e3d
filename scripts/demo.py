#!/usr/bin/env python3
"""Shows Tarvolin at work in a running Wine virtual desktop and saves
screenshots of it; called by scripts/demo.sh, which sets up the desktop.

    demo.py BUILD_DIR OUT_DIR

Everything is done with the real mouse (xdotool) and checked through the
window probe; the steps and the taskbar times are printed.
"""
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from desktop import Desktop, ProgramFolder, menu_item_centre  # noqa: E402

AWAY = (400, 300)
AUTOSTART, INFORMATION, QUIT = 0, 1, 2


def fail(message):
    print("demo: " + message, file=sys.stderr)
    sys.exit(1)


def main(build_dir, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    desktop = Desktop(build_dir)
    desktop.end_tools()
    desktop.startup_link(delete=True)
    folder = ProgramFolder(build_dir)
    process = folder.start()
    try:
        run(desktop, build_dir, out_dir, process)
    finally:
        if process.poll() is None:
            desktop.end_tools()
        desktop.startup_link(delete=True)
        folder.remove()


def shot(desktop, out_dir, name, what):
    path = os.path.join(out_dir, name)
    desktop.save_screenshot(path)
    print("  screenshot %s: %s" % (path, what))


def open_menu(desktop, icon):
    desktop.click(*icon, button=3)
    opened, rect = desktop.wait_menu(True)
    if not opened:
        fail("the menu did not open")
    return rect


def choose(desktop, icon, item):
    rect = open_menu(desktop, icon)
    desktop.click(*menu_item_centre(rect, item))
    if not desktop.wait_menu(False)[0]:
        fail("the menu stayed open")


def run(desktop, build_dir, out_dir, process):
    icon = desktop.find_tray_icon(timeout_s=15)
    if not icon:
        fail("no tray icon appeared")
    print("Tarvolin is running; its tray icon is at %d,%d" % icon)
    desktop.move(*icon)
    code, lines = desktop.probe("wait-tooltip", 5000)
    print("  tooltip: %s" % (lines[0] if code == 0 else "(none)"))
    shot(desktop, out_dir, "1-tray.png", "the desktop with the tray icon and its tooltip")
    desktop.move(*AWAY)

    print('Right-click the tray icon, choose "Autostart"')
    choose(desktop, icon, AUTOSTART)
    deadline = time.time() + 5
    while not desktop.startup_link() and time.time() < deadline:
        time.sleep(0.1)
    print("  Startup folder shortcut Tarvolin.lnk: %s" % ("written" if desktop.startup_link() else "MISSING"))
    rect = open_menu(desktop, icon)
    shot(desktop, out_dir, "2-menu.png", "the menu, Autostart checked")
    with open(os.path.join(out_dir, "menu-rect.txt"), "w") as f:
        f.write("%d %d %d %d\n" % rect)
    desktop.click(*AWAY)
    desktop.wait_menu(False)

    print("A full-screen window (class ShockwaveFlashFullScreen) comes up for 2 s")
    holder = subprocess.Popen(["wine", desktop.probe_exe, "fullscreen", "2000"], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True)
    deadline = time.time() + 5
    while desktop.taskbar()[0] != "hidden" and time.time() < deadline:
        time.sleep(0.05)
    shot(desktop, out_dir, "3-fullscreen.png", "the full-screen window up, the taskbar gone")
    out, _ = holder.communicate(timeout=30)
    for line in out.splitlines():
        print("  " + line)
    print("  taskbar now: %s" % desktop.taskbar()[0])

    print('Choose "Informationen"')
    choose(desktop, icon, INFORMATION)
    box = desktop.wait_box()
    if not box:
        fail("no information box")
    print("  box %r: %s" % (box[0], box[1]))
    shot(desktop, out_dir, "4-information.png", "the information box")
    desktop.click(*box[2])
    desktop.wait_no_box()

    print("Start a copy under another name (Umbenannt.exe)")
    renamed = ProgramFolder(build_dir, "Umbenannt.exe")
    copy = renamed.start()
    box = desktop.wait_box(10000)
    if not box:
        fail("no error box")
    print("  box %r: %s" % (box[0], box[1]))
    shot(desktop, out_dir, "5-error.png", "the error box")
    desktop.click(*box[2])
    print("  the copy ended with exit code %s" % copy.wait(timeout=10))
    renamed.remove()

    print('Switch autostart off again and choose "Beenden"')
    choose(desktop, icon, AUTOSTART)
    choose(desktop, icon, QUIT)
    print("  Tarvolin ended with exit code %s" % process.wait(timeout=10))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
