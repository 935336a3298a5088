#pragma once
// The Convert dialog: asks for a template file and an output file, checks
// the two names and confirms replacing an existing output. Its two text
// boxes are its result: two non-empty names once OK has passed, both empty
// after Cancel or the window frame.

#include <functional>
#include <memory>
#include <optional>

#include <QDialog>
#include <QString>

#include "commondialog/CommonDialogBackend.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillary {

class C_CommonDialog;
class MessageBox;

// "出力ファイルはすでに存在します / 置き換えますか？": true on Yes.
bool MayReplaceOutput(MessageBox& messageBox);

class Conv : public QDialog {
  Q_OBJECT

 public:
  // backend: the file dialogs' platform, shared with the main window.
  Conv(CommonDialogBackend& backend, MessageBox& messageBox, QWidget* owner = nullptr);
  ~Conv() override;

  // Each opening starts with both names empty and OK focused.
  void PrepareToOpen();

  // The names exactly as typed or chosen.
  QString TemplateName() const;
  QString OutputName() const;

  void Command1_Click();  // browse for the template
  void Command2_Click();  // browse for the output
  void OKButton_Click();
  void CancelButton_Click();

  // The window frame and Esc end the dialog as Cancel does.
  void reject() override;

  QGroupBox* Frame1;      // 定型ファイル: the template
  QLineEdit* Text1;       // the template's name
  QPushButton* Command1;  // its browse button
  QGroupBox* Frame2;      // 出力ファイル: the output
  QLineEdit* Text2;       // the output's name
  QPushButton* Command2;  // its browse button
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QLabel* EscapeNotice;  // shown while the template opts in to escaped values

  // Tells whether a template opts in to escaped values, for the notice.
  void SetEscapeCheck(std::function<bool(const QString& templateName)> check);

 private:
  // Created on first use and kept for the run; both browse buttons share it.
  C_CommonDialog& BrowseDialog();
  std::optional<QString> Browse(FileDialogMode mode);
  void Refuse(const QString& prompt);

  CommonDialogBackend& backend_;
  MessageBox& messageBox_;
  std::unique_ptr<C_CommonDialog> browseDialog_;
  std::function<bool(const QString&)> escapeCheck_;
};

}  // namespace quillary
