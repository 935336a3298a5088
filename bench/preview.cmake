# The live preview at the cell limit: one refresh, the conversion and the
# view in front, offscreen; and one on each page built to hold the view.
if(TARGET quillary_ui)
  quillary_widget_bench(preview_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/preview_bench.cpp)
endif()
