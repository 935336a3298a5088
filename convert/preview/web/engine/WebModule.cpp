// The library's entry points, the only names it exports.

#include "convert/preview/web/WebPageView.h"
#include "convert/preview/web/engine/EngineCheck.h"
#include "convert/preview/web/engine/EngineView.h"
#include "convert/preview/web/engine/PreviewProfile.h"

#define QUILLARY_WEB_ENTRY extern "C" __attribute__((visibility("default")))

QUILLARY_WEB_ENTRY int quillary_web_page_abi() { return quillary::kWebPageAbi; }

QUILLARY_WEB_ENTRY void quillary_prepare_web_engine() { quillary::PrepareWebEngine(); }

QUILLARY_WEB_ENTRY quillary::WebPageView* quillary_create_web_page(quillary::WebPageHost& host, QWidget* parent) {
  return new quillary::EngineView(host, parent);
}

QUILLARY_WEB_ENTRY int quillary_check_web_engine(int argc, char** argv) { return quillary::CheckWebEngine(argc, argv); }
