cmake_policy(VERSION 3.25)
# Installs the build into a fresh prefix, checks that every file a desktop
# and man expect is in its place, and converts the installed example with the
# installed converter.
include(${CMAKE_CURRENT_LIST_DIR}/InstalledTree.cmake)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/usr
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  fail("cmake --install failed: ${errors}")
endif()

set(prefix ${WORK}/usr)
set(docs ${prefix}/share/doc/quillary)
check_installed_tree(${prefix} ${WITH_GUI} ${prefix}/bin/quillary-convert)

execute_process(COMMAND ${prefix}/bin/quillary-convert
    ${docs}/examples/sample.csv ${docs}/examples/template.html ${WORK}/out.html
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  fail("the installed converter failed (${status}): ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/out.html ${docs}/examples/expected.html
  RESULT_VARIABLE different)
if(different)
  fail("the installed converter's output differs from the installed expected.html")
endif()
