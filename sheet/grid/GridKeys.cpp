#include "sheet/grid/GridKeys.h"

#include <cstdint>

#include <QKeyEvent>

#include "sheet/grid/KeyCodes.h"

namespace quillary {

namespace {

constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kDeleteCharacter = 0x7F;

}  // namespace

std::optional<GridCell> NavigationTarget(int key, Qt::KeyboardModifiers modifiers, GridCell from, GridCell last,
                                         int pageRows) {
  const bool ctrl = modifiers & Qt::ControlModifier;
  switch (key) {
    case Qt::Key_Left: return GridCell{from.row, from.col - 1};
    case Qt::Key_Right: return GridCell{from.row, from.col + 1};
    case Qt::Key_Up: return GridCell{from.row - 1, from.col};
    case Qt::Key_Down: return GridCell{from.row + 1, from.col};
    case Qt::Key_PageUp: return GridCell{from.row - pageRows, from.col};
    case Qt::Key_PageDown: return GridCell{from.row + pageRows, from.col};
    case Qt::Key_Home: return GridCell{ctrl ? 0 : from.row, 0};
    case Qt::Key_End: return GridCell{ctrl ? last.row : from.row, last.col};
    default: return std::nullopt;
  }
}

std::optional<int> TypedCharCode(const QKeyEvent& event) {
  const int key = event.key();
  const bool ctrl = event.modifiers() & Qt::ControlModifier;
  const bool alt = event.modifiers() & Qt::AltModifier;
  // From the key, not the text: platforms and test drivers differ in the
  // text they give for control characters.
  // Ctrl+Z and Ctrl+Y (with or without Shift) are Undo and Redo: they type
  // nothing, also while the command has nothing to do.
  if (ctrl && !alt && (key == Qt::Key_Z || key == Qt::Key_Y)) return std::nullopt;
  if (ctrl && !alt && key >= Qt::Key_A && key <= Qt::Key_Z) return key - Qt::Key_A + 1;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return ctrl ? kCharLineFeed : kCharReturn;
    case Qt::Key_Backspace: return kCharBackspace;
    case Qt::Key_Escape: return kCharEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return std::nullopt;
    default: break;
  }
  // Ctrl or Alt alone make shortcuts; both together may be the key that
  // types a layout's third character.
  if (ctrl != alt) return std::nullopt;
  const QString text = event.text();
  if (text.isEmpty()) return std::nullopt;
  const char16_t unit = text.front().unicode();
  if (unit < kFirstPrintable || unit == kDeleteCharacter) return std::nullopt;
  return SignedCharCode(text.front());
}

QString TypedLongText(const QKeyEvent& event) {
  const std::optional<int> code = TypedCharCode(event);
  const QString text = event.text();
  // Only a code read from the text itself: control keys have codes of their own.
  if (!code || text.size() < 2 || *code != SignedCharCode(text.front())) return QString();
  return text;
}

int SignedCharCode(QChar unit) { return static_cast<std::int16_t>(unit.unicode()); }

}  // namespace quillary
