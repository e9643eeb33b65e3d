#include "gui/events.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "temp_dir.h"

namespace {

std::vector<GuiEvent> Drain(EventQueue& queue) {
    std::vector<GuiEvent> out;
    GuiEvent event;
    while (queue.Pop(event)) out.push_back(event);
    return out;
}

const GuiEvent kRightDown{EventKind::Tray, TrayRightDown};
const GuiEvent kLeftDown{EventKind::Tray, TrayLeftDown};
const GuiEvent kClose{EventKind::Close, 0};
const GuiEvent kInfo{EventKind::Menu, 2};

TEST(EventQueue, KeepsOrderAndDropsOnlyARepeatOfTheLastWaiting) {
    EventQueue queue;
    for (const GuiEvent& e : {kRightDown, kRightDown, kRightDown, kLeftDown, kRightDown, kClose, kClose})
        queue.Push(e);
    EXPECT_EQ(Drain(queue), (std::vector<GuiEvent>{kRightDown, kLeftDown, kRightDown, kClose}));

    // Once taken, the same event is new again.
    queue.Push(kRightDown);
    EXPECT_EQ(Drain(queue), (std::vector<GuiEvent>{kRightDown}));
    queue.Push(kRightDown);
    EXPECT_EQ(Drain(queue), (std::vector<GuiEvent>{kRightDown}));
    EXPECT_TRUE(queue.Empty());
}

TEST(EventQueue, GrowsAndKeepsOrderWhileTakenFromInBetween) {
    // Many waiting events (as clicks pile up under a message box), taken
    // partly while more arrive: none lost, none reordered.
    EventQueue queue;
    std::vector<GuiEvent> expected, taken;
    GuiEvent event;
    for (int i = 0; i < 100; ++i) {
        GuiEvent next{EventKind::Menu, i};
        queue.Push(next);
        expected.push_back(next);
        if (i % 3 == 0 && queue.Pop(event)) taken.push_back(event);
    }
    for (const GuiEvent& rest : Drain(queue)) taken.push_back(rest);
    EXPECT_EQ(taken, expected);
}

TEST(TrayEventTypeOf, MouseMessagesTable) {
    struct Case {
        unsigned message;
        bool gives;
        int type;
    } cases[] = {
        {WM_LBUTTONDOWN, true, TrayLeftDown},       {WM_RBUTTONDOWN, true, TrayRightDown},
        {WM_LBUTTONDBLCLK, true, TrayLeftDoubleClick}, {WM_RBUTTONDBLCLK, true, TrayRightDoubleClick},
        {WM_RBUTTONUP, false, 0},                    {WM_LBUTTONUP, false, 0},
        {WM_MOUSEMOVE, false, 0},                    {WM_MBUTTONDOWN, false, 0},
    };
    for (const Case& c : cases) {
        int type = -1;
        EXPECT_EQ(TrayEventTypeOf(c.message, type), c.gives) << c.message;
        if (c.gives) {
            EXPECT_EQ(type, c.type) << c.message;
        }
    }
}

// The real window and queue: events posted while a modal loop runs (as under
// a message box) wait in order and come out after it.
class GuiWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(GuiInit());
        ASSERT_TRUE(GuiOpenWindow(0, 0, 0, 0, 0, "Tarvolin 1.0.0", GuiBorderless | GuiInvisible));
    }
    static HWND Window() { return GuiWindowHandle(0); }
};

TEST_F(GuiWindowTest, WindowIsAHiddenPopupWithTheTitle) {
    char title[64] = {};
    GetWindowTextA(Window(), title, sizeof(title));
    EXPECT_STREQ(title, "Tarvolin 1.0.0");
    // Top-level windows always get WS_CLIPSIBLINGS; nothing else beside WS_POPUP.
    DWORD style = static_cast<DWORD>(GetWindowLongA(Window(), GWL_STYLE));
    EXPECT_EQ(style & ~static_cast<DWORD>(WS_CLIPSIBLINGS), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(GetWindowLongA(Window(), GWL_EXSTYLE), 0);
    EXPECT_EQ(GetParent(Window()), nullptr);
    EXPECT_FALSE(IsWindowVisible(Window()));
    RECT rect;
    GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
}

TEST_F(GuiWindowTest, EventsRaisedDuringAModalLoopArriveInOrderAfterIt) {
    const UINT trayMessage = WM_APP + 1;
    HWND window = Window();
    // A modal loop of our own stands in for the message box: it dispatches
    // the posted messages, which the window turns into queued events.
    PostMessageA(window, trayMessage, 1, WM_RBUTTONDOWN);
    PostMessageA(window, trayMessage, 1, WM_RBUTTONUP);
    PostMessageA(window, trayMessage, 1, WM_RBUTTONDOWN);  // identical to the last waiting: dropped
    PostMessageA(window, WM_COMMAND, 2, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, trayMessage, 1, WM_MOUSEMOVE);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);

    EXPECT_EQ(GuiWaitEvent(), kRightDown);
    EXPECT_EQ(GuiWaitEvent(), kInfo);
    EXPECT_EQ(GuiWaitEvent(), kClose);
    EXPECT_TRUE(IsWindow(window)) << "a close request does not destroy the window";

    // With nothing queued, the wait takes the next message itself.
    PostMessageA(window, trayMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(GuiWaitEvent(), (GuiEvent{EventKind::Tray, TrayLeftDoubleClick}));
}

TEST_F(GuiWindowTest, CheckMarkIsSetClearedAndIdempotent) {
    ASSERT_TRUE(GuiCreateMenu(5, 1));
    GuiAppendMenuItem(5, 1, "Autostart");
    GuiAppendMenuItem(5, 2, "Informationen");
    EXPECT_FALSE(GuiMenuItemChecked(5, 1));
    for (int requested : {1, 1, 0, 0, 7, 0}) {
        GuiSetMenuCheck(5, 1, requested);
        EXPECT_EQ(GuiMenuItemChecked(5, 1), requested != 0) << requested;
        EXPECT_FALSE(GuiMenuItemChecked(5, 2)) << "the other item is untouched";
    }
    // A menu that does not exist: nothing happens, nothing breaks.
    GuiSetMenuCheck(6, 1, 1);
    EXPECT_FALSE(GuiMenuItemChecked(6, 1));
}

TEST_F(GuiWindowTest, CheckMarkKeepsTheItemsOtherStateBits) {
    ASSERT_TRUE(GuiCreateMenu(4, 1));
    GuiAppendMenuItem(4, 1, "Autostart");
    HMENU menu = GuiMenuHandle(4);
    ASSERT_NE(menu, nullptr);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    info.fState = MFS_DISABLED | MFS_DEFAULT;
    ASSERT_TRUE(SetMenuItemInfoA(menu, 1, FALSE, &info));

    const UINT kept = MFS_DISABLED | MFS_DEFAULT;
    for (int requested : {1, 0}) {
        GuiSetMenuCheck(4, 1, requested);
        info.fState = 0;
        ASSERT_TRUE(GetMenuItemInfoA(menu, 1, FALSE, &info));
        EXPECT_EQ(info.fState & kept, kept) << requested;
        EXPECT_EQ((info.fState & MFS_CHECKED) != 0, requested != 0);
    }
}

// The shell sends tray callbacks with SendNotifyMessage, and a close request
// may come by SendMessage. Such a message is handled inside GetMessageA; the
// wait must still return with its event instead of blocking until some
// unrelated posted message arrives (here a late one from a watchdog thread).
struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

DWORD WINAPI SendLater(void* data) {
    const SentMessage* sent = static_cast<const SentMessage*>(data);
    Sleep(100);
    SendNotifyMessageA(sent->window, sent->message, sent->wParam, sent->lParam);
    Sleep(3000);  // the watchdog: a wait that missed the event ends only here
    PostMessageA(sent->window, WM_APP + 2, 0, 0);
    return 0;
}

TEST_F(GuiWindowTest, EventsFromSentMessagesEndTheWaitAtOnce) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        GuiEvent expected;
    } cases[] = {
        {"tray right press", WM_APP + 1, 1, WM_RBUTTONDOWN, kRightDown},
        {"close request", WM_CLOSE, 0, 0, kClose},
    };
    for (const Case& c : cases) {
        SentMessage sender = {Window(), c.message, c.wParam, c.lParam};
        HANDLE thread = CreateThread(nullptr, 0, SendLater, &sender, 0, nullptr);
        DWORD start = GetTickCount();
        GuiEvent event = GuiWaitEvent();
        DWORD took = GetTickCount() - start;
        EXPECT_EQ(event, c.expected) << c.name;
        EXPECT_LT(took, 1500u) << c.name;
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

// A bitmap image becomes a tray icon of its own (made from the bitmap), for
// bottom-up and top-down bitmap files alike.
TEST_F(GuiWindowTest, BitmapImagesBecomeTrayIcons) {
    TempDir dir;
    struct Case {
        const char* name;
        int height;  // negative: rows stored top-down
        int image, tray;
    } cases[] = {{"bottom-up.bmp", 16, 2, 2}, {"top-down.bmp", -16, 3, 3}};
    for (const Case& c : cases) {
        BITMAPFILEHEADER file = {};
        BITMAPINFOHEADER info = {};
        const int width = 16, rows = 16;
        std::string pixels(static_cast<size_t>(width * rows * 4), '\x7f');
        info.biSize = sizeof(info);
        info.biWidth = width;
        info.biHeight = c.height;
        info.biPlanes = 1;
        info.biBitCount = 32;
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof(file) + sizeof(info);
        file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
        std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
        bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
        bytes += pixels;
        std::string path = dir.path() + c.name;
        FILE* out = fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), out);
        fclose(out);

        ASSERT_TRUE(GuiLoadImage(c.image, path.c_str())) << c.name;
        EXPECT_TRUE(GuiAddTrayIcon(c.tray, 0, c.image)) << c.name;
    }
    // Nothing is added without an image or a window.
    EXPECT_FALSE(GuiLoadImage(4, (dir.path() + "missing.bmp").c_str()));
    EXPECT_FALSE(GuiAddTrayIcon(4, 0, 4));
    EXPECT_FALSE(GuiAddTrayIcon(5, 7, 2));
}

}  // namespace
