# A million records of 8 fields (about 100 MB of UTF-8): Open, sort, replace
# all, rows, Undo and Redo of each, Save, and the peak memory of a process
# that opens the file.
if(TARGET quillary_ui)
  quillary_widget_bench(million_bench ${CMAKE_CURRENT_LIST_DIR}/million_bench.cpp)
endif()
