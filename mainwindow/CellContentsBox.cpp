#include "mainwindow/CellContentsBox.h"

#include <QLabel>
#include <QLocale>
#include <QTextDocument>

namespace quillary {

namespace {

constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';
constexpr QChar kCrPicture = u'\u240D';
constexpr QChar kLfPicture = u'\u240A';

}  // namespace

CellContentsBox::CellContentsBox(QWidget* parent) : QPlainTextEdit(parent), cutNotice_(new QLabel(this)) {
  cutNotice_->setObjectName(QStringLiteral("CutNotice"));
  cutNotice_->setWordWrap(true);
  cutNotice_->setStyleSheet(QStringLiteral("QLabel { background: #fff6c8; color: #202020; padding: 1px 4px; }"));
  cutNotice_->hide();
  // Tab moves the focus on as in the window's other boxes; typing a TAB
  // would split the cell on the next paste of a range.
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setUndoRedoEnabled(true);
}

void CellContentsBox::ShowCutNotice(qsizetype shown, qsizetype total) {
  if (shown >= total) {
    cutNotice_->hide();
    return;
  }
  const QLocale grouped(QLocale::Japanese);
  cutNotice_->setText(
      QStringLiteral("長いセルです（全 %1 文字）。先頭の %2 文字だけを表示・編集しています。残りはそのまま保たれます。")
          .arg(grouped.toString(total), grouped.toString(shown)));
  PlaceCutNotice();
  cutNotice_->show();
}

void CellContentsBox::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  PlaceCutNotice();
}

void CellContentsBox::PlaceCutNotice() {
  // Along the bottom of the text area, clear of the scroll bar.
  const QRect inside = viewport()->geometry();
  const int height = cutNotice_->heightForWidth(inside.width());
  cutNotice_->setGeometry(inside.left(), inside.bottom() - height + 1, inside.width(), height);
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
