# The sheet dialogs on the largest sheets they handle.
if(TARGET quillary_ui)
  quillary_widget_bench(dialogs_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/dialogs_bench.cpp)
endif()
