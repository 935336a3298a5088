# A million records of 8 fields (about 100 MB of UTF-8): Open, sort, replace
# all, rows, Undo and Redo of each, Save, and the peak memory of a process
# that opens the file.
if(TARGET quillary_ui)
  quillary_widget_bench(million_bench ${CMAKE_CURRENT_LIST_DIR}/million_bench.cpp)
endif()

# The real window over the same million records: keys, moves, scrolling and
# edits at the first, middle and last record (with the accessibility layer
# on and off), Ctrl+End, 次を検索, Copy of every cell, the preview after an
# edit, and the field-name editor at 16,384 fields.
if(TARGET quillary_ui)
  find_package(Qt6 REQUIRED COMPONENTS DBus)
  quillary_widget_bench(million_window_bench ${CMAKE_CURRENT_LIST_DIR}/million_window_bench.cpp)
  # To play a screen reader's part on the accessibility bus.
  target_link_libraries(million_window_bench PRIVATE Qt6::DBus)
endif()
