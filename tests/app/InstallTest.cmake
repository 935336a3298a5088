cmake_policy(VERSION 3.25)
# Installs the build into a fresh prefix, checks that every file a desktop
# expects is in its place, and converts the installed example with the
# installed converter.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/usr
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

set(prefix ${WORK}/usr)
set(docs ${prefix}/share/doc/quillary)
set(expected bin/quillary-convert share/doc/quillary/README.md
  share/doc/quillary/examples/sample.csv share/doc/quillary/examples/template.html)
if(WITH_GUI)
  list(APPEND expected bin/quillary share/applications/quillary.desktop
    share/icons/hicolor/scalable/apps/quillary.svg)
  foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/quillary.png)
  endforeach()
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

if(WITH_GUI)
  file(STRINGS ${prefix}/share/applications/quillary.desktop entry)
  foreach(line "Name=Quillary" "Name[ja]=Quillary" "Exec=quillary" "Icon=quillary")
    if(NOT line IN_LIST entry)
      message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
  endforeach()
  find_program(validate desktop-file-validate)
  if(validate)
    execute_process(COMMAND ${validate} ${prefix}/share/applications/quillary.desktop
      RESULT_VARIABLE status OUTPUT_VARIABLE complaints ERROR_VARIABLE complaints)
    if(NOT status EQUAL 0 OR complaints MATCHES "error")
      message(FATAL_ERROR "the desktop entry is not valid: ${complaints}")
    endif()
  endif()
endif()

execute_process(COMMAND ${prefix}/bin/quillary-convert
    ${docs}/examples/sample.csv ${docs}/examples/template.html ${WORK}/out.html
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the installed converter failed (${status}): ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/out.html ${docs}/examples/expected.html
  RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "the installed converter's output differs from the installed expected.html")
endif()
