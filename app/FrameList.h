// The list of the program's catalog windows in the order they were made, and which of them
// holds the main-window role (the window the application's menus and exit hang on). The list
// only refers to the frames; the window system owns them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The Window menu lists at most this many frames, with ids from kFirstWindowCommand.
inline constexpr std::size_t kWindowMenuLimit = 10;
inline constexpr int kFirstWindowCommand = 32875;

template <class Frame>
class FrameList {
public:
    // Appends; the first frame takes the main-window role when nobody holds it.
    void Add(Frame* frame) {
        frames_.push_back(frame);
        if (!main_) main_ = frame;
    }
    // Removes; the role moves to the first frame left, if any.
    void Remove(Frame* frame) {
        frames_.erase(std::remove(frames_.begin(), frames_.end(), frame), frames_.end());
        if (main_ == frame) main_ = frames_.empty() ? nullptr : frames_.front();
    }
    // When the frame holds the role, the first other frame takes it; a lone frame keeps it.
    void HandOverMainWindow(Frame* frame) {
        if (main_ != frame) return;
        for (Frame* f : frames_) {
            if (f != frame) {
                main_ = f;
                return;
            }
        }
    }
    Frame* At(std::size_t index) const { return index < frames_.size() ? frames_[index] : nullptr; }
    Frame* Main() const { return main_; }
    std::size_t Count() const { return frames_.size(); }
    bool Contains(const Frame* frame) const {
        return std::find(frames_.begin(), frames_.end(), frame) != frames_.end();
    }
    const std::vector<Frame*>& All() const { return frames_; }
    // The frames the Window menu lists, in list order.
    std::vector<Frame*> WindowMenuFrames() const {
        return std::vector<Frame*>(frames_.begin(), frames_.begin() + std::min(frames_.size(), kWindowMenuLimit));
    }

private:
    std::vector<Frame*> frames_;
    Frame* main_ = nullptr;
};
