cmake_policy(VERSION 3.25)
# Builds the Debian package from the build tree, checks its control fields,
# unpacks it and checks what it holds as the installed tree is checked, then
# runs lintian (with LINT: no error, no warning that is not overridden with a
# reason) and the AppStream validator over it.
include(${CMAKE_CURRENT_LIST_DIR}/InstalledTree.cmake)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CPACK} --config ${BUILD}/CPackConfig.cmake -B ${WORK}
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
file(GLOB package ${WORK}/quillary_*.deb)
if(NOT status EQUAL 0 OR NOT package)
  fail("cpack made no package: ${errors}")
endif()

execute_process(COMMAND dpkg-deb --field ${package} Package Version Depends Recommends
  OUTPUT_VARIABLE fields RESULT_VARIABLE status)
foreach(needed "Package: quillary" "Version: ${VERSION}" "libqt6widgets6" "libqt6svg6"
               "qt6-qpa-plugins" "fonts-ipafont-gothic | fonts-noto-cjk" "Recommends: qt6-translations-l10n")
  string(FIND "${fields}" "${needed}" at)
  if(NOT status EQUAL 0 OR at EQUAL -1)
    fail("the package's fields lack \"${needed}\":\n${fields}")
  endif()
endforeach()

set(root ${WORK}/root)
execute_process(COMMAND dpkg-deb -x ${package} ${root} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("dpkg-deb could not unpack ${package}")
endif()
check_installed_tree(${root}/usr ON ${root}/usr/bin/quillary-convert)

if(LINT)
  find_program(LINTIAN lintian REQUIRED)
  execute_process(COMMAND ${LINTIAN} --fail-on error,warning --no-tag-display-limit ${package}
    RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(NOT status EQUAL 0)
    fail("lintian finds fault with the package:\n${report}")
  endif()
endif()

find_program(APPSTREAMCLI appstreamcli REQUIRED)
execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${root}
  RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  fail("the AppStream metadata is not valid:\n${report}")
endif()
