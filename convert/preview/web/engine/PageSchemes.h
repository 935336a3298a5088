#pragma once
// The addresses the engine's page lives at. The page and the files of its
// folder are served by the program itself under the page scheme, by their
// absolute paths, so that names in the page resolve as they would beside
// the template; with 「外部の画像などを読み込む」 on, http and https go to the
// remote scheme, fetched by the program too, since the engine itself has no
// network.

#include <QString>
#include <QUrl>

#include "convert/preview/web/WebPageView.h"

namespace quillary {

inline constexpr const char* kPageScheme = kWebPageScheme;
inline constexpr char kRemoteScheme[] = "quillary-remote";

// Before the engine starts; once.
void RegisterPageSchemes();

QUrl PageUrl(const QString& path);
// The web address inside a remote-scheme address, and back.
QUrl RemoteUrl(const QUrl& web);
QUrl WebUrlOf(const QUrl& remote);

}  // namespace quillary
