#pragma once
// The web engine as the window finds it: a library loaded at run time,
// checked once in a process of its own before it is loaded here (an engine
// that cannot start ends its whole process, which must not be the user's
// window). Until the check has ended, and where it fails, the preview
// keeps its rich-text page.

#include <QLibrary>
#include <QObject>
#include <QString>

#include "convert/preview/web/WebPageView.h"

class QProcess;

namespace quillary {

class WebPreviewEngine final : public QObject {
  Q_OBJECT

 public:
  enum class State { NotChecked, Checking, Ready, Unavailable };

  // One for the run, going with the application.
  static WebPreviewEngine& Instance();

  State state() const { return state_; }
  // Why the engine is not used, as a line for the preview's note.
  const QString& whyNot() const { return whyNot_; }

  // Starts the check, once; Changed when it has ended. Without the
  // library it ends at once.
  void Check();
  // A page of the engine's; Ready only.
  WebPageView* CreatePage(WebPageHost& host, QWidget* parent);

  // Where the library and its check are: QUILLARY_WEB_MODULE_DIR, or
  // beside the programs as installed.
  static QString ModuleDir();

 signals:
  void Changed();

 private:
  explicit WebPreviewEngine(QObject* parent);
  void Checked(int status, bool crashed);
  void Load();
  void Fail(const QString& why);

  State state_ = State::NotChecked;
  QString whyNot_;
  QLibrary library_;
  QProcess* check_ = nullptr;
  CreateWebPageEntry create_ = nullptr;
};

}  // namespace quillary
