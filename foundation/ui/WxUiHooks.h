// The UI hooks of the core, backed by wx: the busy cursor, the bell, the keyboard (modifier
// keys from the real keyboard state, Escape from the key hook), the mouse button, the screen's
// measures, and progress through the application's progress state. The application installs
// one (SetUiHooks) once wx runs, and uninstalls it before wx shuts down.
#pragma once

#include "platform/UiHooks.h"
#include "platform/ui/KeyboardState.h"

class AppProgress;

class WxUiHooks : public UiHooks {
public:
    explicit WxUiHooks(AppProgress* progress) : progress_(progress) {}
    ~WxUiHooks() override;

    void SetCursor(int kind) override;
    void ShowCursor(bool show) override;
    void Beep() override;
    std::uint32_t ModifierKeys() override;
    bool EscapeKeyDown() override;
    bool MouseButtonDown() override;
    OSErr ProgressStart(const std::string& titleUtf8, long total) override;
    OSErr ProgressStep(long current, long total) override;
    void ProgressEnd() override;
    void ProgressOpen(short kind, long total, const std::string& titleUtf8) override;
    OSErr ProgressUpdate(const long* step, const std::string* line1, const std::string* line2,
                         const std::string* label) override;
    OSErr ProgressFraction(short message, double fraction) override;
    int SystemMetric(int index) override;

    KeyboardState& Keyboard() { return keyboard_; }
    bool BusyCursorShown() const { return busy_; }
    int BeepCount() const { return beeps_; }

private:
    AppProgress* progress_;
    KeyboardState keyboard_;
    bool busy_ = false;
    bool hidden_ = false;
    int beeps_ = 0;
};
