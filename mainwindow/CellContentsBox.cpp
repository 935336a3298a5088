#include "mainwindow/CellContentsBox.h"

#include <QTextDocument>

namespace quillary {

namespace {

constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';
constexpr QChar kCrPicture = u'\u240D';
constexpr QChar kLfPicture = u'\u240A';

}  // namespace

CellContentsBox::CellContentsBox(QWidget* parent) : QPlainTextEdit(parent) {
  // Tab moves the focus on as in the window's other boxes; typing a TAB
  // would split the cell on the next paste of a range.
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setUndoRedoEnabled(true);
}

QString CellContentsBox::Text() const { return FromEditorText(document()->toRawText()); }

void CellContentsBox::SetText(const QString& text) {
  if (Text() == text) return;
  setPlainText(ToEditorText(text));
}

QString CellContentsBox::ToEditorText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == kCr && i + 1 < text.size() && text[i + 1] == kLf) {
      out += kLf;  // a new block; lone LFs are pictured, so this is unambiguous
      ++i;
    } else if (c == kCr) {
      out += kCrPicture;
    } else if (c == kLf) {
      out += kLfPicture;
    } else {
      out += c;
    }
  }
  return out;
}

QString CellContentsBox::FromEditorText(const QString& editorText) {
  QString out;
  out.reserve(editorText.size() + editorText.size() / 16);
  for (const QChar c : editorText) {
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == kLf) {
      out += kCr;
      out += kLf;
    } else if (c == kCrPicture) {
      out += kCr;
    } else if (c == kLfPicture) {
      out += kLf;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace quillary
