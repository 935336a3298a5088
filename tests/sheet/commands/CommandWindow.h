#pragma once
// What the document commands work on, as the main window holds it, with a
// scripted message box and file dialog in place of the user.

#include <filesystem>
#include <optional>
#include <vector>

#include <QString>

#include "commondialog/C_CommonDialog.h"
#include "commondialog/Services.h"
#include "fakes/FakeCommonDialogBackend.h"
#include "fakes/FakeMessageBox.h"
#include "sheet/Sheet.h"
#include "sheet/SheetArray.h"
#include "sheet/commands/DocumentCommands.h"
#include "sheet/commands/InCellEditor.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

namespace quillary::testing {

inline QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

struct CommandWindow : InCellEditor {
  CommandWindow() { Load(MakeInitialSheet()); }

  // A sheet that counts as saved, as after a successful Open.
  void Load(const Sheet& sheet) { fg2.SetSheet(sheet); }
  bool CheckModify() const { return document.CheckModify(); }
  // The sheet Convert reads, in the encoding of the file it came from.
  void SetSheetArray(SheetArray array, TextEncoding encoding = TextEncoding::Cp932) {
    document.SetSheetArray(std::move(array), encoding);
  }
  const SheetArray& sheetArray() const { return document.sheetArray(); }

  // The in-cell editor: the edit waiting for a commit, and the box.
  void CommitCellEdit() override {
    ++commits;
    if (pendingEdit) fg2.SetText(*pendingEdit);
    pendingEdit.reset();
  }
  void ShowCurrentCell() override { text1 = fg2.Text(); }
  void FocusGrid() override { fg2.SetFocus(); }

  SheetDocument document;
  GridControl fg2{document, 1, 1};
  FakeCommonDialogBackend backend;
  C_CommonDialog fileDialog{backend};
  FakeMessageBox messageBox;
  QString text1 = QStringLiteral("(untouched)");
  // The in-cell edit waiting for a commit, as the overlay editor holds it.
  std::optional<QString> pendingEdit;
  int commits = 0;
  Services services{messageBox, backend};

  DocumentCommands commands{document, *this, fileDialog, messageBox};
};

// rows x cols sheet with row labels and the given texts row by row from
// cell (0, 1); column 0 is labelled.
inline Sheet MakeSheet(int rows, int cols, const std::vector<std::u16string>& texts) {
  Sheet sheet(rows, cols);
  LabelRows(sheet, 1, rows - 1);
  for (std::size_t i = 0; i < texts.size(); ++i)
    sheet.SetText(static_cast<int>(i) / (cols - 1), static_cast<int>(i) % (cols - 1) + 1, texts[i]);
  return sheet;
}

}  // namespace quillary::testing
