#pragma once
// A window's controls and menu items found by their object names, as the
// handlers call them; the windows keep their widgets private.

#include <QAction>
#include <QObject>
#include <QString>
#include <stdexcept>

namespace quillary::testing {

template <typename Control = QWidget>
Control& Find(const QObject& window, const char* name) {
  auto* control = window.findChild<Control*>(QString::fromLatin1(name));
  if (!control) throw std::logic_error(std::string("no control named ") + name);
  return *control;
}

inline QAction& MenuItem(const QObject& window, const char* name) { return Find<QAction>(window, name); }

}  // namespace quillary::testing
