# Backtraces and sanitizer reports read only the line tables; full debug
# information (a debugger's view of local variables) makes every build about
# a third slower, so it is asked for.
option(QUILLARY_FULL_DEBUG_INFO "Full debug information instead of line tables only" OFF)
if(NOT QUILLARY_FULL_DEBUG_INFO)
  add_compile_options($<$<CONFIG:Debug,RelWithDebInfo>:-g1>)
endif()
