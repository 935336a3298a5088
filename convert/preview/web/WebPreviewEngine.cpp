#include "convert/preview/web/WebPreviewEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace quillary {

namespace {

constexpr char kModuleName[] = "libquillary-webpreview.so";
constexpr char kCheckName[] = "quillary-web-check";
// A first start on a busy machine takes a few seconds.
constexpr int kCheckMs = 30'000;

}  // namespace

WebPreviewEngine& WebPreviewEngine::Instance() {
  static QPointer<WebPreviewEngine> engine;
  if (!engine) engine = new WebPreviewEngine(QCoreApplication::instance());
  return *engine;
}

WebPreviewEngine::WebPreviewEngine(QObject* parent) : QObject(parent) {}

QString WebPreviewEngine::ModuleDir() {
  if (qEnvironmentVariableIsSet("QUILLARY_WEB_MODULE_DIR")) return qEnvironmentVariable("QUILLARY_WEB_MODULE_DIR");
  return QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' +
                         QString::fromLatin1(QUILLARY_WEB_MODULE_FROM_PROGRAMS));
}

void WebPreviewEngine::Check() {
  if (state_ != State::NotChecked) return;
  const QDir dir(ModuleDir());
  if (!QFileInfo::exists(dir.filePath(QString::fromLatin1(kModuleName))) ||
      !QFileInfo(dir.filePath(QString::fromLatin1(kCheckName))).isExecutable())
    return Fail(QStringLiteral("Web エンジンの部品が入っていません"));
  state_ = State::Checking;
  check_ = new QProcess(this);
  check_->setProgram(dir.filePath(QString::fromLatin1(kCheckName)));
  check_->setArguments({dir.filePath(QString::fromLatin1(kModuleName))});
  // What the engine says on its way is not the user's.
  check_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  check_->setStandardOutputFile(QProcess::nullDevice());
  connect(check_, &QProcess::finished, this,
          [this](int status, QProcess::ExitStatus exit) { Checked(status, exit == QProcess::CrashExit); });
  connect(check_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) Fail(QStringLiteral("Web エンジンの確認を始められません"));
  });
  QTimer::singleShot(kCheckMs, check_, [this] {
    if (state_ != State::Checking) return;
    check_->kill();
    Fail(QStringLiteral("Web エンジンが時間内に起動しません"));
  });
  check_->start();
}

void WebPreviewEngine::Checked(int status, bool crashed) {
  if (state_ != State::Checking) return;
  if (crashed) return Fail(QStringLiteral("Web エンジンが起動の途中で止まりました"));
  // The check's statuses (engine/EngineCheck.cpp, engine/web_check.cpp).
  switch (status) {
    case 0: return Load();
    case 65: return Fail(QStringLiteral("Web エンジン（Qt WebEngine）が入っていないか読み込めません"));
    case 2: return Fail(QStringLiteral("Web エンジンがページを時間内に表示しません"));
    default: return Fail(QStringLiteral("Web エンジンを起動できません（終了コード %1）").arg(status));
  }
}

void WebPreviewEngine::Load() {
  library_.setFileName(QDir(ModuleDir()).filePath(QString::fromLatin1(kModuleName)));
  const auto abi = reinterpret_cast<WebPageAbiEntry>(library_.resolve(kWebPageAbiName));
  const auto prepare = reinterpret_cast<PrepareWebEngineEntry>(library_.resolve(kPrepareWebEngineName));
  create_ = reinterpret_cast<CreateWebPageEntry>(library_.resolve(kCreateWebPageName));
  if (!abi || !prepare || !create_ || abi() != kWebPageAbi)
    return Fail(QStringLiteral("Web エンジンの部品がこのプログラムと合いません"));
  prepare();
  state_ = State::Ready;
  emit Changed();
}

void WebPreviewEngine::Fail(const QString& why) {
  state_ = State::Unavailable;
  whyNot_ = why;
  create_ = nullptr;
  emit Changed();
}

WebPageView* WebPreviewEngine::CreatePage(WebPageHost& host, QWidget* parent) {
  return state_ == State::Ready ? create_(host, parent) : nullptr;
}

}  // namespace quillary
