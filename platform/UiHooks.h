// The few ways the core reaches the user interface. The application installs wx versions;
// tests install their own; without any, they do nothing (and nothing is ever cancelled).
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <string>

enum : std::uint32_t {
    kModShift = 1u << 0,
    kModControl = 1u << 1,
    kModAlt = 1u << 2,
};

enum CursorKind : int {
    kCursorArrow = 0,
    kCursorIBeam = 4,
    kCursorCross = 5,
    kCursorWait = 7,
    kCursorHand = 8,
    kCursorResizeWE = 17,
};

class UiHooks {
public:
    virtual ~UiHooks() = default;
    virtual void SetCursor(int kind) {}
    // Hides or shows the mouse pointer (calls come in balanced pairs).
    virtual void ShowCursor(bool show) {}
    virtual void Beep() {}
    virtual std::uint32_t ModifierKeys() { return 0; }
    virtual bool EscapeKeyDown() { return false; }
    // Whether the primary mouse button is held now (background work waits meanwhile).
    virtual bool MouseButtonDown() { return false; }
    // Long operations: a title, then steps; a step answers userCanceledErr when the user cancels.
    virtual OSErr ProgressStart(const std::string& titleUtf8, long total) { return noErr; }
    virtual OSErr ProgressStep(long current, long total) { return noErr; }
    virtual void ProgressEnd() {}
    // The progress window of long operations that say more than a step: kind 0 lets Escape
    // cancel as well as the Cancel button; a null text leaves its line as it is; an update
    // without a step only pumps. An update answers userCanceledErr once the user cancelled.
    virtual void ProgressOpen(short kind, long total, const std::string& titleUtf8) {}
    virtual OSErr ProgressUpdate(const long* step, const std::string* line1, const std::string* line2,
                                 const std::string* label) { return noErr; }
    // Progress within the current step as a fraction 0..1 (message 1), or the step's end
    // (message 2); other messages do nothing.
    virtual OSErr ProgressFraction(short message, double fraction) { return noErr; }
    // Screen measures asked for by GetSystemMetrics; 0 when unknown (no display).
    virtual int SystemMetric(int index) { return 0; }
};

// Installs the hooks (nullptr restores the silent defaults); the caller keeps ownership.
void SetUiHooks(UiHooks* hooks);
UiHooks& GetUiHooks();

inline void UiSetCursor(int kind) { GetUiHooks().SetCursor(kind); }
inline void UiShowCursor(bool show) { GetUiHooks().ShowCursor(show); }
inline void UiBeep() { GetUiHooks().Beep(); }
inline std::uint32_t UiModifierKeys() { return GetUiHooks().ModifierKeys(); }
inline bool UiEscapeKeyDown() { return GetUiHooks().EscapeKeyDown(); }
inline bool UiMouseButtonDown() { return GetUiHooks().MouseButtonDown(); }

enum : int {
    SM_CXFULLSCREEN = 16,   // width of the primary screen's client area for a full-screen window
    SM_CYFULLSCREEN = 17,   // its height
};
inline int GetSystemMetrics(int index) { return GetUiHooks().SystemMetric(index); }
