#pragma once
// A one-line text box that selects its whole text whenever it gains the
// focus, by Tab, by a click or from code, so that typing replaces it.

#include <QLineEdit>

namespace quillary {

class SelectAllLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

}  // namespace quillary
