# The recovery file of unsaved changes at the cell limit: what an edit costs
# the window's thread and the writer's, a whole base, and the worst
# keystroke with recovery on and off.
if(TARGET quillary_ui)
  quillary_widget_bench(recovery_bench WITH_MAIN ${CMAKE_CURRENT_LIST_DIR}/recovery_bench.cpp)
endif()
