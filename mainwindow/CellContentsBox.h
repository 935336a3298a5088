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

class QLabel;

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

  // Says, over the box, that it holds the first `shown` of `total`
  // characters of a long cell; hidden when it holds them all.
  void ShowCutNotice(qsizetype shown, qsizetype total);

  // The editor's own form of a text and back.
  static QString ToEditorText(const QString& text);
  static QString FromEditorText(const QString& editorText);

  QLabel* CutNotice() const { return cutNotice_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceCutNotice();

  QLabel* cutNotice_;
};

}  // namespace quillary
