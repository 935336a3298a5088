#pragma once
// The cell-contents box under the grid: a multi-line text box whose text is
// exchanged as the program sees it, lines ended by CR LF.
//
// The editor keeps lines as blocks, so it cannot hold a CR or a LF that is not
// part of a CR LF pair. Those are shown as the control pictures "␍" (U+240D)
// and "␊" (U+240A) and read back as CR and LF, so that a cell holding them
// (as a CSV file may bring them) keeps them through an edit in the box. A
// control picture typed or pasted by the user therefore reads back as the
// control character it pictures.

#include <QPlainTextEdit>
#include <QString>

namespace quillary {

class CellContentsBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CellContentsBox(QWidget* parent = nullptr);

  // Lines ended by CR LF; lone CR and LF as they were set.
  QString Text() const;
  // Replaces the whole text (the caret goes to the start). Raises
  // textChanged only when the text differs from the one held.
  void SetText(const QString& text);

  // The editor's own form of a text and back.
  static QString ToEditorText(const QString& text);
  static QString FromEditorText(const QString& editorText);
};

}  // namespace quillary
