# The main window: start-up to the first shown window, filling its grid with
# the largest sheet, and the modification check on that sheet.
if(TARGET quillary_ui)
  quillary_widget_bench(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
endif()

# A 10 MB and a 100 MB cell through the real window: Open, show, edit, Save.
if(TARGET quillary_ui)
  quillary_widget_bench(enormous_cell_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/enormous_cell_bench.cpp)
endif()
