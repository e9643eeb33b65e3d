#include "gui/gui.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "gui/menu_paint.h"
#include "gui/scoped.h"
#include "paths/text.h"

namespace {

constexpr char kWindowClass[] = "TarvolinGuiWindow";
constexpr UINT kTrayCallbackMessage = WM_APP + 1;
constexpr int kApplicationIconResource = 1;

struct Image {
    HANDLE handle = nullptr;
    bool isIcon = false;
};

struct TrayIcon {
    HWND window = nullptr;
    HICON icon = nullptr;
    bool ownsIcon = false;  // made from a bitmap, destroyed with the tray icon
    bool added = false;
    char tip[64] = {};  // the shell shows 63 characters
};

struct MenuItem {
    int commandId = 0;
    Text text;
};

struct Menu {
    HMENU handle = nullptr;
    int look = 0;
    MenuItem items[kGuiMaxMenuItems];  // their addresses are the items' data
    int itemCount = 0;
};

struct GuiState {
    HWND windows[kGuiMaxObjects] = {};
    Image images[kGuiMaxObjects];
    TrayIcon trays[kGuiMaxObjects];
    Menu menus[kGuiMaxObjects];
    HANDLE threads[kGuiMaxObjects] = {};
    int threadCount = 0;
    EventQueue events;
    HFONT menuFont = nullptr;
    UINT taskbarCreatedMessage = 0;
};

GuiState gui;

bool ValidNumber(int number) {
    return number >= 0 && number < kGuiMaxObjects;
}

NOTIFYICONDATAA TrayData(int number, const TrayIcon& tray) {
    // The first form of the structure: the callback then carries the icon id
    // in wParam and the mouse message in lParam, on every shell version.
    NOTIFYICONDATAA data;
    memset(&data, 0, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = tray.window;
    data.uID = static_cast<UINT>(number);
    return data;
}

bool ShellAddTray(int number, const TrayIcon& tray) {
    NOTIFYICONDATAA data = TrayData(number, tray);
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = tray.icon;
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void ShellSetTrayTip(int number, const TrayIcon& tray) {
    NOTIFYICONDATAA data = TrayData(number, tray);
    data.uFlags = NIF_TIP;
    lstrcpynA(data.szTip, tray.tip, 64);  // 63 characters and the terminator
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

// A new shell has no icons: put ours back, with their tooltips.
void ReAddTrayIcons() {
    for (int number = 0; number < kGuiMaxObjects; ++number) {
        TrayIcon& tray = gui.trays[number];
        if (!tray.icon || !tray.window) continue;
        // The message also comes without a restart (an icon that is still
        // there refuses the add); the icon then simply stays as it was.
        tray.added = ShellAddTray(number, tray) || tray.added;
        if (tray.added && tray.tip[0]) ShellSetTrayTip(number, tray);
    }
}

HFONT MenuFont() {
    if (!gui.menuFont) gui.menuFont = CreateSystemMenuFont();
    return gui.menuFont;
}

void ResetMenuFont() {
    if (gui.menuFont) DeleteObject(gui.menuFont);
    gui.menuFont = nullptr;
}

LRESULT OnMeasureItem(MEASUREITEMSTRUCT* measure) {
    if (measure->CtlType != ODT_MENU || !measure->itemData) return FALSE;
    const MenuItem* item = reinterpret_cast<const MenuItem*>(measure->itemData);
    HDC screen = GetDC(nullptr);
    SIZE size = MeasureMenuItem(screen, MenuFont(), item->text.c_str());
    ReleaseDC(nullptr, screen);
    measure->itemWidth = static_cast<UINT>(size.cx);
    measure->itemHeight = static_cast<UINT>(size.cy);
    return TRUE;
}

LRESULT OnDrawItem(const DRAWITEMSTRUCT* draw) {
    if (draw->CtlType != ODT_MENU || !draw->itemData) return FALSE;
    const MenuItem* item = reinterpret_cast<const MenuItem*>(draw->itemData);
    PaintMenuItem(draw->hDC, draw->rcItem, item->text.c_str(), MenuFont(), (draw->itemState & ODS_SELECTED) != 0,
                  (draw->itemState & ODS_CHECKED) != 0, SystemMenuColors());
    return TRUE;
}

// Queues an event for GuiWaitEvent. A message that was sent rather than
// posted (the shell sends tray callbacks with SendNotifyMessage) is handled
// inside GetMessageA, which then goes on waiting for a posted message; the
// posted WM_NULL makes it return so the event is taken at once.
void RaiseEvent(HWND window, const GuiEvent& event) {
    gui.events.Push(event);
    if (InSendMessage()) PostMessageA(window, WM_NULL, 0, 0);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kTrayCallbackMessage: {
        int type;
        if (TrayEventTypeOf(static_cast<unsigned>(lParam), type)) RaiseEvent(window, {EventKind::Tray, type});
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0) RaiseEvent(window, {EventKind::Menu, LOWORD(wParam)});
        return 0;
    case WM_CLOSE:
        // Reported, not acted on: the event loop decides when to end.
        RaiseEvent(window, {EventKind::Close, 0});
        return 0;
    case WM_MEASUREITEM:
        return OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
        return OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SETTINGCHANGE:
        ResetMenuFont();
        break;
    default:
        if (message == gui.taskbarCreatedMessage && gui.taskbarCreatedMessage != 0) {
            ReAddTrayIcons();
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HICON IconFromBitmap(HBITMAP bitmap) {
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof(info), &info)) return nullptr;
    // The mask size below must never come from a negative or zero size.
    if (info.bmHeight < 0) info.bmHeight = -info.bmHeight;
    if (info.bmWidth <= 0 || info.bmHeight == 0) return nullptr;
    // An all-zero AND mask lets the colour bitmap show unmasked.
    size_t maskSize = static_cast<size_t>((info.bmWidth + 15) / 16) * 2 * static_cast<size_t>(info.bmHeight);
    ScopedMemory<BYTE> maskBits(static_cast<BYTE*>(calloc(maskSize ? maskSize : 1, 1)));
    if (!maskBits) return nullptr;
    ScopedGdi<HBITMAP> mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, maskBits.get()));
    ICONINFO icon = {};
    icon.fIcon = TRUE;
    icon.hbmMask = mask.get();
    icon.hbmColor = bitmap;
    return CreateIconIndirect(&icon);
}

// The state bits of a menu item, by command id; false when the menu or the
// item does not exist.
bool ReadItemState(int menu, int commandId, MENUITEMINFOA& info) {
    if (!ValidNumber(menu) || !gui.menus[menu].handle) return false;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    return GetMenuItemInfoA(gui.menus[menu].handle, static_cast<UINT>(commandId), FALSE, &info) != FALSE;
}

void FreeImage(Image& image) {
    if (!image.handle) return;
    if (image.isIcon)
        DestroyIcon(static_cast<HICON>(image.handle));
    else
        DeleteObject(image.handle);
    image = Image();
}

}  // namespace

bool TrayEventTypeOf(unsigned mouseMessage, int& type) {
    switch (mouseMessage) {
    case WM_LBUTTONDOWN: type = TrayLeftDown; return true;
    case WM_RBUTTONDOWN: type = TrayRightDown; return true;
    case WM_LBUTTONDBLCLK: type = TrayLeftDoubleClick; return true;
    case WM_RBUTTONDBLCLK: type = TrayRightDoubleClick; return true;
    default: return false;
    }
}

bool GuiInit() {
    CoInitialize(nullptr);  // stays in force until the process ends
    gui.taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kApplicationIconResource));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool GuiOpenWindow(int number, int x, int y, int innerWidth, int innerHeight, const char* title, unsigned flags) {
    if (!ValidNumber(number) || gui.windows[number]) return false;
    DWORD style = (flags & GuiBorderless) ? WS_POPUP : WS_OVERLAPPEDWINDOW;
    RECT frame = {x, y, x + innerWidth, y + innerHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExA(0, kWindowClass, title, style, frame.left, frame.top, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return false;
    if (!(flags & GuiInvisible)) ShowWindow(window, SW_SHOWNORMAL);
    gui.windows[number] = window;
    return true;
}

HWND GuiWindowHandle(int number) {
    return ValidNumber(number) ? gui.windows[number] : nullptr;
}

bool GuiLoadImage(int number, const char* file) {
    if (!ValidNumber(number) || !file) return false;
    FreeImage(gui.images[number]);
    Image image;
    image.handle = LoadImageA(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!image.handle) {
        image.handle = LoadImageA(nullptr, file, IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
        image.isIcon = image.handle != nullptr;
    }
    gui.images[number] = image;
    return image.handle != nullptr;
}

bool GuiAddTrayIcon(int number, int window, int image) {
    if (!ValidNumber(number) || !ValidNumber(window) || !ValidNumber(image)) return false;
    if (!gui.windows[window] || !gui.images[image].handle || gui.trays[number].icon) return false;

    TrayIcon tray;
    tray.window = gui.windows[window];
    if (gui.images[image].isIcon) {
        tray.icon = static_cast<HICON>(gui.images[image].handle);
    } else {
        tray.icon = IconFromBitmap(static_cast<HBITMAP>(gui.images[image].handle));
        tray.ownsIcon = true;
        if (!tray.icon) return false;
    }
    tray.added = ShellAddTray(number, tray);
    // Kept even when the shell refused it, so a shell that starts later gets it.
    gui.trays[number] = tray;
    return tray.added;
}

void GuiSetTrayTip(int number, const char* text) {
    if (!ValidNumber(number) || !gui.trays[number].icon || !text) return;
    TrayIcon& tray = gui.trays[number];
    lstrcpynA(tray.tip, text, sizeof tray.tip);
    if (tray.added) ShellSetTrayTip(number, tray);
}

bool GuiCreateMenu(int number, int look) {
    if (!ValidNumber(number) || gui.menus[number].handle) return false;
    HMENU menu = CreatePopupMenu();
    if (!menu) return false;
    gui.menus[number].handle = menu;
    gui.menus[number].look = look;
    return true;
}

void GuiAppendMenuItem(int menu, int commandId, const char* text) {
    if (!ValidNumber(menu) || !gui.menus[menu].handle || !text) return;
    Menu& target = gui.menus[menu];
    if (target.itemCount == kGuiMaxMenuItems) return;
    // The menu lives until the process ends, and so do its items.
    MenuItem& item = target.items[target.itemCount++];
    item.commandId = commandId;
    item.text = text;
    AppendMenuA(target.handle, MF_OWNERDRAW, static_cast<UINT_PTR>(commandId), reinterpret_cast<LPCSTR>(&item));
}

void GuiSetMenuCheck(int menu, int commandId, int checked) {
    MENUITEMINFOA info;
    if (!ReadItemState(menu, commandId, info)) return;
    if (checked)
        info.fState |= MFS_CHECKED;
    else
        info.fState &= ~static_cast<UINT>(MFS_CHECKED);
    SetMenuItemInfoA(gui.menus[menu].handle, static_cast<UINT>(commandId), FALSE, &info);
}

bool GuiMenuItemChecked(int menu, int commandId) {
    MENUITEMINFOA info;
    return ReadItemState(menu, commandId, info) && (info.fState & MFS_CHECKED) != 0;
}

HMENU GuiMenuHandle(int number) {
    return ValidNumber(number) ? gui.menus[number].handle : nullptr;
}

void GuiShowMenu(int menu, int window) {
    if (!ValidNumber(menu) || !ValidNumber(window)) return;
    HMENU handle = gui.menus[menu].handle;
    HWND owner = gui.windows[window];
    if (!handle || !owner) return;
    POINT cursor;
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close on a click elsewhere;
    // the posted WM_NULL lets the menu's loop notice that it lost the focus.
    SetForegroundWindow(owner);
    TrackPopupMenu(handle, TPM_RIGHTBUTTON, cursor.x - 1, cursor.y - 1, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
}

GuiEvent GuiWaitEvent() {
    GuiEvent event;
    while (!gui.events.Pop(event)) {
        MSG message;
        BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0 || result == -1) return {EventKind::Close, 0};  // WM_QUIT or a broken queue
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return event;
}

void GuiMessageBox(const char* title, const char* text, unsigned iconFlags) {
    HWND owner = GetForegroundWindow();
    DWORD ownerProcess = 0;
    if (owner) GetWindowThreadProcessId(owner, &ownerProcess);
    if (ownerProcess != GetCurrentProcessId()) owner = nullptr;
    MessageBoxA(owner, text, title, MB_OK | MB_TASKMODAL | iconFlags);
}

bool GuiStartThread(LPTHREAD_START_ROUTINE procedure, intptr_t argument) {
    if (gui.threadCount == kGuiMaxObjects) return false;
    HANDLE thread = CreateThread(nullptr, 4096, procedure, reinterpret_cast<void*>(argument),
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread) return false;
    gui.threads[gui.threadCount++] = thread;
    return true;
}

void GuiRelease() {
    for (HWND& window : gui.windows) {
        if (window) DestroyWindow(window);
        window = nullptr;
    }
    for (int i = 0; i < gui.threadCount; ++i) CloseHandle(gui.threads[i]);
    gui.threadCount = 0;
    for (int number = 0; number < kGuiMaxObjects; ++number) {
        TrayIcon& tray = gui.trays[number];
        if (!tray.icon) continue;
        NOTIFYICONDATAA data = TrayData(number, tray);
        Shell_NotifyIconA(NIM_DELETE, &data);
        if (tray.ownsIcon) DestroyIcon(tray.icon);
        tray = TrayIcon();
    }
    for (Image& image : gui.images) FreeImage(image);
    ResetMenuFont();
}
