# The live preview at the cell limit: one refresh, the conversion and the
# view in front, offscreen; and one on each page built to hold the view.
if(TARGET quillary_ui)
  quillary_widget_bench(preview_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/preview_bench.cpp)
endif()

# A refresh until its page is drawn, by the web engine or the rich-text view.
if(TARGET quillary_webpreview)
  quillary_widget_bench(web_preview_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/web_preview_bench.cpp)
  add_dependencies(web_preview_bench quillary_webpreview quillary-web-check)
endif()
