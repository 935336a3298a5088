# The live preview at the cell limit: one refresh, the conversion and the
# view in front, offscreen.
if(TARGET quillary_ui)
  quillary_widget_bench(preview_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/preview_bench.cpp)
endif()
