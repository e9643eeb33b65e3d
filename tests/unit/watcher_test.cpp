#include "watcher/watcher.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A scripted desktop: windows by class, their visibility, and a log of every
// ShowWindow the watcher sends.
struct FakeDesktop {
    struct Window {
        std::string windowClass;
        bool visible;
    };
    std::map<HWND, Window> windows;
    std::vector<std::pair<HWND, int>> shows;
    int nextHandle = 0x100;

    HWND Add(const std::string& windowClass, bool visible = true) {
        HWND handle = reinterpret_cast<HWND>(static_cast<intptr_t>(nextHandle += 4));
        windows[handle] = {windowClass, visible};
        return handle;
    }
    void Remove(HWND handle) { windows.erase(handle); }
};

FakeDesktop* desktop = nullptr;

const WindowSystem kFakeSystem = {
    [](const char* windowClass) -> HWND {
        for (auto& entry : desktop->windows)
            if (entry.second.windowClass == windowClass) return entry.first;
        return nullptr;
    },
    [](HWND window) { return desktop->windows.count(window) != 0; },
    [](HWND window) { return desktop->windows.count(window) != 0 && desktop->windows[window].visible; },
    [](HWND window, int command) {
        desktop->shows.push_back({window, command});
        auto found = desktop->windows.find(window);
        if (found != desktop->windows.end()) found->second.visible = command != SW_HIDE;
    },
};

class WatcherPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop = &desk_;
        taskbar_ = desk_.Add(kTaskbarClass);
        button_ = desk_.Add(kStartButtonClass);
    }
    void TearDown() override { desktop = nullptr; }

    void Pass(int times = 1) {
        for (int i = 0; i < times; ++i) WatcherPass(state_, kFakeSystem);
    }
    using Shows = std::vector<std::pair<HWND, int>>;

    FakeDesktop desk_;
    WatcherState state_;
    HWND taskbar_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(WatcherPassTest, HidesOnceWhileFullScreenAndShowsOnceAfter) {
    Pass(3);
    EXPECT_TRUE(desk_.shows.empty()) << "nothing to do without a full-screen window";

    HWND fullScreen = desk_.Add(kFullScreenClass, false);  // hidden still counts
    Pass(5);
    EXPECT_EQ(desk_.shows, (Shows{{taskbar_, SW_HIDE}, {button_, SW_HIDE}}));
    EXPECT_TRUE(state_.hiddenByUs);

    desk_.shows.clear();
    desk_.Remove(fullScreen);
    Pass(5);
    EXPECT_EQ(desk_.shows, (Shows{{taskbar_, SW_SHOW}, {button_, SW_SHOW}}));
    EXPECT_FALSE(state_.hiddenByUs);
}

TEST_F(WatcherPassTest, FullScreenPresentAtStartIsHandledOnFirstPass) {
    desk_.Add(kFullScreenClass);
    Pass();
    EXPECT_EQ(desk_.shows, (Shows{{taskbar_, SW_HIDE}, {button_, SW_HIDE}}));
}

TEST_F(WatcherPassTest, TaskbarChangedFromOutsideIsBroughtBackInLine) {
    desk_.Add(kFullScreenClass);
    Pass();
    desk_.shows.clear();
    desk_.windows[taskbar_].visible = true;  // someone shows it during full screen
    Pass(3);
    EXPECT_EQ(desk_.shows, (Shows{{taskbar_, SW_HIDE}, {button_, SW_HIDE}}));

    desk_.windows.clear();
    desk_.shows.clear();
    state_ = WatcherState();
    taskbar_ = desk_.Add(kTaskbarClass, false);  // hidden by someone, no full screen
    Pass(3);
    EXPECT_EQ(desk_.shows, (Shows{{taskbar_, SW_SHOW}}));
}

TEST_F(WatcherPassTest, NoTaskbarMeansNoShowWindowAtAll) {
    desk_.Remove(taskbar_);
    Pass(5);
    desk_.Add(kFullScreenClass);
    Pass(5);
    EXPECT_TRUE(desk_.shows.empty()) << "no calls on a null handle, and the Button window is left alone";
}

TEST_F(WatcherPassTest, RestartedShellIsFoundAgainOnTheNextPass) {
    HWND fullScreen = desk_.Add(kFullScreenClass);
    Pass();
    desk_.shows.clear();

    // The shell ends: taskbar and button are gone; a new shell brings new ones.
    desk_.Remove(taskbar_);
    desk_.Remove(button_);
    Pass(2);
    EXPECT_TRUE(desk_.shows.empty()) << "nothing sent to dead handles";
    HWND newTaskbar = desk_.Add(kTaskbarClass);
    HWND newButton = desk_.Add(kStartButtonClass);
    Pass(3);
    EXPECT_EQ(desk_.shows, (Shows{{newTaskbar, SW_HIDE}, {newButton, SW_HIDE}}));

    desk_.shows.clear();
    desk_.Remove(fullScreen);
    Pass(3);
    EXPECT_EQ(desk_.shows, (Shows{{newTaskbar, SW_SHOW}, {newButton, SW_SHOW}}));
}

TEST_F(WatcherPassTest, WithoutStartButtonOnlyTheTaskbarFollows) {
    desk_.Remove(button_);
    desk_.Add(kFullScreenClass);
    Pass(2);
    EXPECT_EQ(desk_.shows, (Shows{{taskbar_, SW_HIDE}}));
}

TEST_F(WatcherPassTest, RestoreGivesBackOnlyWhatTheWatcherHid) {
    RestoreTaskbar(state_, kFakeSystem);
    EXPECT_TRUE(desk_.shows.empty());

    desk_.Add(kFullScreenClass);
    Pass();
    desk_.shows.clear();
    RestoreTaskbar(state_, kFakeSystem);
    EXPECT_EQ(desk_.shows, (Shows{{taskbar_, SW_SHOW}, {button_, SW_SHOW}}));
    EXPECT_TRUE(desk_.windows[taskbar_].visible);

    // A taskbar that someone else hid, with no full screen involved, stays hidden.
    desk_.shows.clear();
    desk_.windows[taskbar_].visible = false;
    RestoreTaskbar(state_, kFakeSystem);
    EXPECT_TRUE(desk_.shows.empty());
}

}  // namespace
