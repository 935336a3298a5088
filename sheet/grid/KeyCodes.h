#pragma once
// Keys as the handlers see them: key codes of the keyboard's keys (Tab 9,
// Enter 13, Esc 27, Up 38, Down 40, Delete 46, letters 65..90 ...) and the
// shift state (bit 1 Shift, 2 Ctrl, 4 Alt).

#include <Qt>

class QKeyEvent;

namespace quillary {

inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyInsert = 45;
inline constexpr int kKeyDelete = 46;
inline constexpr int kKeyR = 82;
inline constexpr int kKeyF2 = 113;

// Character codes of typed characters, as the grid reports them.
inline constexpr int kCharCtrlA = 1;
inline constexpr int kCharCtrlC = 3;
inline constexpr int kCharBackspace = 8;
inline constexpr int kCharLineFeed = 10;
inline constexpr int kCharReturn = 13;
inline constexpr int kCharCtrlQ = 17;
inline constexpr int kCharCtrlR = 18;
inline constexpr int kCharCtrlS = 19;
inline constexpr int kCharCtrlV = 22;
inline constexpr int kCharCtrlX = 24;
inline constexpr int kCharEscape = 27;
inline constexpr int kCharSpace = 32;

// Bits of the shift state.
inline constexpr int kShift = 1;
inline constexpr int kCtrl = 2;
inline constexpr int kAlt = 4;

// 0 for keys without a code.
int KeyCodeOf(const QKeyEvent& event);
int ShiftStateOf(Qt::KeyboardModifiers modifiers);

}  // namespace quillary
