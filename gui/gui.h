#pragma once
// The thin windowing layer over user32 and shell32. It hands out numbered
// objects (windows, images, tray icons, popup menus) and reports window,
// tray and menu activity as events through one blocking wait.
#include <windows.h>

#include <cstdint>

#include "gui/events.h"

// Flags for GuiOpenWindow.
enum GuiWindowFlags : unsigned {
    GuiBorderless = 1,  // WS_POPUP, no caption or frame
    GuiInvisible = 2,   // never shown
};

// Objects are numbered 0 .. kGuiMaxObjects-1 within each kind; at most
// kGuiMaxObjects threads are kept and kGuiMaxMenuItems items per menu.
constexpr int kGuiMaxObjects = 8;
constexpr int kGuiMaxMenuItems = 16;

// Registers the window class and initialises COM on the calling thread (for
// the life of the process). Returns false when the class cannot be registered.
bool GuiInit();

// 1. Opens a top-level window; false on failure.
bool GuiOpenWindow(int number, int x, int y, int innerWidth, int innerHeight, const char* title, unsigned flags);
HWND GuiWindowHandle(int number);

// 2. Loads image `number` from a file, as a bitmap or else as an icon.
bool GuiLoadImage(int number, const char* file);

// 3. Adds tray icon `number` to the notification area for a window, showing
// an image. Nothing is added when the window or the image is missing.
bool GuiAddTrayIcon(int number, int window, int image);

// 4. Sets the tooltip of a tray icon (first 63 characters).
void GuiSetTrayTip(int number, const char* text);

// 5. Creates popup menu `number`, owner-drawn; look 1 is the shaded-column look.
bool GuiCreateMenu(int number, int look);
void GuiAppendMenuItem(int menu, int commandId, const char* text);

// 6. Sets (checked != 0) or clears the check mark of an item, by command id.
void GuiSetMenuCheck(int menu, int commandId, int checked);
bool GuiMenuItemChecked(int menu, int commandId);
HMENU GuiMenuHandle(int number);

// 7. Shows a popup menu at the cursor, owned by a window. A chosen item
// arrives later as a menu event.
void GuiShowMenu(int menu, int window);

// 8. Waits, without time limit, for the next tray, menu or close event.
GuiEvent GuiWaitEvent();

// 9. A modal message box with an OK button.
void GuiMessageBox(const char* title, const char* text, unsigned iconFlags);

// 10. Starts a thread (4 KiB stack reservation) and keeps its handle; false
// when it cannot be started or kGuiMaxObjects are kept already.
bool GuiStartThread(LPTHREAD_START_ROUTINE procedure, intptr_t argument);

// 11. Releases windows, thread handles, tray icons and images, in that order.
void GuiRelease();
