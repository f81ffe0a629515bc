// The busy state of a catalog window's status bar: how many tasks are running (never below
// zero, so an extra "done" cannot hide the next task) and which of the eight frames of the
// busy icon shows.
#pragma once

class StatusBusy {
public:
    // True when the icon must show afterwards.
    bool Set(bool busy) {
        count_ = busy ? count_ + 1 : (count_ > 0 ? count_ - 1 : 0);
        if (count_ == 0) frame_ = 0;
        return count_ > 0;
    }
    int Step() { return frame_ = (frame_ + 1) % 8; }
    int Count() const { return count_; }
    int Frame() const { return frame_; }
    void Clear() { count_ = frame_ = 0; }

private:
    int count_ = 0;
    int frame_ = 0;
};
