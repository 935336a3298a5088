# Qt's widget headers are most of what a window source file costs to
# compile. They are precompiled once, in a small library of their own, and
# every window target and window test reuses the result instead of parsing
# them again.
option(QUILLARY_PRECOMPILED_HEADERS "Precompile Qt's widget headers once for every window target" ON)

# The library links Qt Widgets alone: a precompiled header is used only where
# every macro it was made with is defined alike, and each window target
# defines at least Qt Widgets' (Qt Test's vary by folder, so its headers stay
# out).
if(QUILLARY_PRECOMPILED_HEADERS AND QUILLARY_BUILD_GUI)
  add_library(quillary_qt_headers STATIC ${PROJECT_SOURCE_DIR}/cmake/PrecompiledHeaders.cpp)
  target_link_libraries(quillary_qt_headers PRIVATE Qt6::Widgets)
  target_precompile_headers(quillary_qt_headers PRIVATE <QtWidgets> <functional> <memory> <string> <vector>)
endif()

# A window target (one that links Qt Widgets) reuses the precompiled headers.
function(quillary_qt_precompiled target)
  if(TARGET quillary_qt_headers)
    target_precompile_headers(${target} REUSE_FROM quillary_qt_headers)
  endif()
endfunction()
