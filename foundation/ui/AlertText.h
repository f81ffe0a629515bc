// The texts of an alert, built headless from the string lists before any window exists:
// list 130 holds the messages, list 129 the button labels; "^0" to "^3" take the caller's
// substitution texts; an error code adds a line "[code]" (code 500 appends text 3 to the
// message itself); the first line break parts the message from its detail.
#pragma once

#include "platform/MacTypes.h"

#include <array>
#include <string>

inline constexpr long kAlertMessageList = 130;
inline constexpr long kAlertButtonList = 129;
// The error code that makes text 3 continue the message instead of a "[code]" line.
inline constexpr long kAlertAppendTextError = 500;

struct AlertTexts {
    std::string message;  // UTF-8, before the split
    std::array<std::string, 3> buttons;  // button 1, 2, 3; empty: no such button
};

// Substitution texts are length-prefixed Windows-1252 strings; null leaves its placeholder.
AlertTexts BuildAlertTexts(short messageIndex, long errorCode, short button1, short button2, short button3,
                           const std::array<ConstStr255Param, 4>& texts);

// Replaces "^0".."^3" in one left-to-right pass: an inserted text is never searched again, so a
// file name that happens to hold "^1" shows as it is. Texts are UTF-8; null keeps the mark.
std::string SubstitutePlaceholders(const std::string& text, const std::array<const std::string*, 4>& values);

// The message before its first line break, and what follows the break (empty when nothing).
void SplitAlertMessage(const std::string& message, std::string* head, std::string* detail);
