// quillary-web-check MODULE: loads the preview's web engine library and
// draws a page with it, in a process of its own; exits 0 when it could.
// The program runs it once before it uses the engine in its own window.

#include <dlfcn.h>

#include <cstdio>

#include "convert/preview/web/WebPageView.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: quillary-web-check MODULE\n");
    return 64;
  }
  void* module = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    std::fprintf(stderr, "%s\n", ::dlerror());
    return 65;
  }
  const auto check = reinterpret_cast<quillary::CheckWebEngineEntry>(::dlsym(module, quillary::kCheckWebEngineName));
  if (!check) {
    std::fprintf(stderr, "%s\n", ::dlerror());
    return 65;
  }
  return check(argc, argv);
}
