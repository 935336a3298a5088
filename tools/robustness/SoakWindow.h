#pragma once
// The main window for the soak: its modal dialogs are filled in and closed
// in place of the user, pop-up menus are only counted, and its message box
// answers at random. Nothing it shows can block.

#include <fstream>

#include <QDir>
#include <QLineEdit>
#include <QStringList>

#include "RandomInputs.h"
#include "commondialog/MessageBox.h"
#include "convert/dialog/Conv.h"
#include "dialogs/FieldEditor.h"
#include "dialogs/ResizeOption.h"
#include "mainwindow/Main.h"
#include "mainwindow/RangeClipboard.h"
#include "platform/CodePage.h"
#include "sheet/document/SheetDocument.h"
#include "sheet/grid/GridControl.h"

namespace quillary::robustness {

// Short texts that the program treats specially somewhere.
inline QString SomeText(RandomInputs& in) {
  static const std::vector<QString> texts = {QString(),
                                             QStringLiteral("a"),
                                             QStringLiteral("|"),
                                             QStringLiteral("\"q\""),
                                             QStringLiteral("1,5"),
                                             QStringLiteral("日本語"),
                                             QStringLiteral("ｱｲ"),
                                             QStringLiteral(" "),
                                             QStringLiteral("<!-- フィールド 1 -->"),
                                             QStringLiteral("caf\u00e9"),
                                             QStringLiteral("x\ty")};
  return in.Pick(texts);
}

class RandomMessageBox : public MessageBox {
 public:
  explicit RandomMessageBox(RandomInputs& in) : in_(in) {}

  MsgResult Show(const QString& prompt, MsgButtons buttons, MsgIcon, const QString&) override {
    ++shown;
    if (prompt.startsWith(QStringLiteral("予期しないエラー"))) unexpected << prompt;
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    if (buttons == MsgButtons::YesNo) return in_.OneIn(2) ? MsgResult::Yes : MsgResult::No;
    static const std::vector<MsgResult> answers = {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    return in_.Pick(answers);
  }

  int shown = 0;
  QStringList unexpected;

 private:
  RandomInputs& in_;
};

class SoakWindow : public Main {
 public:
  SoakWindow(Services services, RandomInputs& in, const QDir& dir) : Main(services), in_(in), dir_(dir) {}

  void ShowModalDialog(QDialog& dialog) override {
    ++dialogs;
    if (auto* resize = qobject_cast<ResizeOption*>(&dialog)) {
      FillResize(*resize);
    } else if (auto* names = qobject_cast<FieldEditor*>(&dialog)) {
      FillFieldNames(*names);
    } else if (auto* conv = qobject_cast<Conv*>(&dialog)) {
      FillConvert(*conv);
    }  // the about box closes at once
  }

  int dialogs = 0;
  int popups = 0;

 protected:
  void ShowPopup(QMenu&, const QPoint&) override { ++popups; }

 private:
  // Small sizes, sizes exactly at the record or the field limit and one
  // past it, and entries that are no count at all.
  void FillResize(ResizeOption& dialog) {
    static const std::vector<QString> odd = {
        QStringLiteral("0"),     QStringLiteral("-1"),         QStringLiteral(""),    QStringLiteral("abc"),
        QStringLiteral("３"),    QStringLiteral("1.5"),        QStringLiteral(" 7 "), QStringLiteral("1048577"),
        QStringLiteral("16385"), QStringLiteral("99999999999")};
    QString records = QString::number(1 + in_.Below(25)), fields = QString::number(1 + in_.Below(10));
    if (in_.OneIn(12)) {
      // At the field limit, or one past it.
      records = QString::number(1 + in_.Below(3));
      fields = QString::number(kMaxFields + (in_.OneIn(2) ? 1 : 0));
    } else if (in_.OneIn(40)) {
      // At the record limit, or one past it.
      records = QString::number(kMaxRecords + (in_.OneIn(2) ? 1 : 0));
      fields = QString::number(1 + in_.Below(3));
    } else if (in_.OneIn(5)) {
      (in_.OneIn(2) ? records : fields) = in_.Pick(odd);
    }
    if (in_.OneIn(10)) dialog.Picture1_Click();
    dialog.Text1->setText(records);
    dialog.Text2->setText(fields);
    dialog.OK_Click();
    if (dialog.result() != QDialog::Accepted) dialog.Command1_Click();
  }

  void FillFieldNames(FieldEditor& dialog) {
    if (dialog.fg->Cols() > 0 && in_.OneIn(2)) {
      dialog.fg->SetCol(in_.Below(dialog.fg->Cols()));
      dialog.fg_DblClick();
      dialog.Text1->setText(SomeText(in_));
    }
    in_.OneIn(4) ? dialog.Command2_Click() : dialog.Command1_Click();
  }

  // A random template over the sheet as Convert will read it.
  void FillConvert(Conv& dialog) {
    const QString templ = dir_.filePath(QStringLiteral("template.html"));
    bool big = false;
    try {
      std::ofstream(templ.toStdString(), std::ios::binary)
          << EncodeCodePage(in_.Template(document().sheetArray(), big));
    } catch (const UnencodableCharError&) {
      std::ofstream(templ.toStdString(), std::ios::binary) << "<!-- BeginRepeat 2 -->x<!-- EndRepeat -->";
    }
    dialog.setResult(QDialog::Rejected);
    dialog.Text1->setText(in_.OneIn(8) ? dir_.filePath(QStringLiteral("missing.html")) : templ);
    dialog.Text2->setText(in_.OneIn(8) ? QString() : dir_.filePath(QStringLiteral("out.html")));
    dialog.OKButton_Click();
    if (dialog.result() != QDialog::Accepted) dialog.CancelButton_Click();
  }

  RandomInputs& in_;
  QDir dir_;
};

}  // namespace quillary::robustness
