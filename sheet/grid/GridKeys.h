#pragma once
// What a key does in the grid: navigation keys move the current cell or the
// selection's corner; other keys may type a character, reported as a 16-bit
// signed character code.

#include <optional>

#include <QChar>
#include <QString>
#include <Qt>

#include "sheet/grid/GridCell.h"

class QKeyEvent;

namespace quillary {

// The cell a navigation key leads to from `from` (not yet kept inside the
// grid), or nothing for other keys. `last` is the last data cell; Page Up
// and Page Down move by pageRows.
std::optional<GridCell> NavigationTarget(int key, Qt::KeyboardModifiers modifiers, GridCell from, GridCell last,
                                         int pageRows);

// Ctrl+letter 1..26 but Ctrl+Y and Ctrl+Z (Redo, Undo), Enter 13 (Ctrl+Enter 10), Backspace 8, Esc 27,
// otherwise the typed text's first unit; nothing for keys that type nothing.
std::optional<int> TypedCharCode(const QKeyEvent& event);

// The text a typing key types when it is more than one UTF-16 unit (a
// character outside the basic plane is two), to be handed on whole; empty
// otherwise.
QString TypedLongText(const QKeyEvent& event);

// Units from U+8000 up arrive negative.
int SignedCharCode(QChar unit);

}  // namespace quillary
