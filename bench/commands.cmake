# Open, Save and Convert of a sheet at the cell limit through the command
# objects, with scripted dialogs, offscreen.
if(TARGET quillary_ui)
  quillary_widget_bench(commands_bench commands_bench.cpp)
endif()
