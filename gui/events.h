#pragma once
// Events the GUI layer reports to the event loop, and the queue that holds
// them between the window procedure and the loop.
#include <cstddef>

enum class EventKind {
    None,   // a message that means nothing to the loop
    Tray,   // mouse activity on a tray icon; detail = TrayEventType
    Menu,   // a menu item was chosen; detail = command id
    Close,  // a close request reached the window
};

// Tray event types, from the mouse message the tray icon reports.
enum TrayEventType {
    TrayLeftDown = 0,
    TrayRightDown = 1,
    TrayLeftDoubleClick = 2,
    TrayRightDoubleClick = 3,
};

struct GuiEvent {
    EventKind kind = EventKind::None;
    int detail = 0;
};

inline bool operator==(const GuiEvent& a, const GuiEvent& b) {
    return a.kind == b.kind && a.detail == b.detail;
}
inline bool operator!=(const GuiEvent& a, const GuiEvent& b) {
    return !(a == b);
}

// First-in first-out; an event equal to the last one still waiting is dropped,
// so a burst of identical clicks made while a modal box is open counts once.
// The storage grows as needed (malloc); an event that finds no memory is lost.
class EventQueue {
public:
    EventQueue() = default;
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;
    ~EventQueue();

    void Push(const GuiEvent& event);
    bool Pop(GuiEvent& event);
    bool Empty() const { return head_ == tail_; }

private:
    GuiEvent* events_ = nullptr;  // waiting: events_[head_] .. events_[tail_ - 1]
    size_t head_ = 0;
    size_t tail_ = 0;
    size_t capacity_ = 0;
};

// Maps a mouse message reported through a tray icon to its event type;
// returns false for messages that give no tray event.
bool TrayEventTypeOf(unsigned mouseMessage, int& type);
