#pragma once
// A cell may hold megabytes of text. Laying such a text out takes the
// window about a second per million characters, so the grid draws only the
// start of a long cell and the editors hold only its start; the rest stays
// in the cell as it is.

#include <string>
#include <string_view>

#include <QString>

namespace quillary {

// The most of a cell the grid draws (it shows far fewer).
inline constexpr qsizetype kDrawnUnits = 1000;
// The most of a cell the overlay editor and the cell-contents box hold.
inline constexpr qsizetype kEditedUnits = 32768;

// The start of text, at most `units` UTF-16 units, splitting no character
// outside the basic plane and no CR LF pair. Only the start is copied.
QString StartOf(std::u16string_view text, qsizetype units);

}  // namespace quillary
