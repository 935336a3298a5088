#pragma once
// What the preview shows for a template and the sheet in the grid: the
// output Convert would write if the sheet were saved first, or why there
// is none.

#include <cstddef>
#include <string>

#include <QString>

#include "convert/PreviewExpansion.h"
#include "platform/TextEncoding.h"

namespace quillary {

class Sheet;

// How much of an output the preview makes and shows. Above them it shows
// the output's start and says so.
struct PreviewLimits {
  // Made, and written for the browser by 出力を開く.
  std::size_t outputUnits = std::size_t{8} << 20;
  // Shown, with its values marked, in the text view.
  std::size_t textUnits = 200'000;
  // Shown in the page view: its tables take some 1.5 ms per 1,000 units to
  // lay out, and a refresh stays well under 100 ms.
  std::size_t pageUnits = 16'000;
};

struct PreviewResult {
  // Why there is no output (the template cannot be read or decoded); empty
  // when there is one.
  QString problem;
  PreviewExpansion expansion;
  // The output's encoding and its bytes as Convert writes them (of its
  // start when cut; none when unwritable).
  TextEncoding encoding = TextEncoding::Cp932;
  std::string bytes;
  // A character the encoding cannot hold, which stops Convert; empty when
  // none.
  QString unwritable;

  bool HasOutput() const { return problem.isEmpty(); }
};

// The template read as Convert reads it and expanded with the grid's sheet
// (every data column a field); a plain-ASCII template's output takes
// saveEncoding, the encoding the next Save writes.
PreviewResult RenderPreview(const QString& templateName, const Sheet& sheet, TextEncoding saveEncoding,
                            const PreviewLimits& limits = {});

}  // namespace quillary
