# Open, Save and Convert of a sheet at the cell limit through the command
# objects, with scripted dialogs, offscreen.
if(TARGET quillary_ui)
  quillary_widget_bench(commands_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/commands_bench.cpp)
endif()

# Undo and Redo of the largest steps: a paste over the whole sheet and a
# resize to the cell limit, in a shown grid.
if(TARGET quillary_ui)
  quillary_widget_bench(undo_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/undo_bench.cpp)
endif()

# The editing commands at the cell limit: rows and columns, sort, replace all.
if(TARGET quillary_ui)
  quillary_widget_bench(edit_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/edit_bench.cpp)
endif()
