#pragma once
// The engine as the preview uses it: started with no network of its own
// and, for root, without the sandbox it cannot have; a profile kept in
// memory only, in which nothing is downloaded and no plug-in, window or
// clipboard is reached.

#include <QWebEngineProfile>

namespace quillary {

class WebPageHost;

// Before the first profile, after QApplication; once.
void PrepareWebEngine();

// The engine starts with the first one.
QWebEngineProfile* NewPreviewProfile(WebPageHost& host, QObject* parent);

}  // namespace quillary
