# Open, Save and Convert of a sheet at the cell limit through the command
# objects, with scripted dialogs, offscreen.
if(TARGET quillary_ui)
  quillary_widget_bench(commands_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/commands_bench.cpp)
endif()
