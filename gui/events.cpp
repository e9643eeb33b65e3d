#include "gui/events.h"

#include <cstdlib>

EventQueue::~EventQueue() {
    free(events_);
}

void EventQueue::Push(const GuiEvent& event) {
    if (!Empty() && events_[tail_ - 1] == event) return;
    if (tail_ == capacity_) {
        if (head_ > 0) {
            // Room freed at the front: move the waiting events down.
            for (size_t i = head_; i < tail_; ++i) events_[i - head_] = events_[i];
            tail_ -= head_;
            head_ = 0;
        } else {
            size_t capacity = capacity_ ? capacity_ * 2 : 8;
            void* grown = realloc(events_, capacity * sizeof(GuiEvent));
            if (!grown) return;
            events_ = static_cast<GuiEvent*>(grown);
            capacity_ = capacity;
        }
    }
    events_[tail_++] = event;
}

bool EventQueue::Pop(GuiEvent& event) {
    if (Empty()) return false;
    event = events_[head_++];
    if (head_ == tail_) head_ = tail_ = 0;
    return true;
}
