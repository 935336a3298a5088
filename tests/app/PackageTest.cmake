cmake_policy(VERSION 3.25)
# Builds the Debian package from the build tree and checks its control
# fields and that it carries the programs, the desktop entry and the icon.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CPACK} --config ${BUILD}/CPackConfig.cmake -B ${WORK}
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
file(GLOB package ${WORK}/quillary_*.deb)
if(NOT status EQUAL 0 OR NOT package)
  message(FATAL_ERROR "cpack made no package: ${errors}")
endif()

execute_process(COMMAND dpkg-deb --field ${package} Package Version Depends
  OUTPUT_VARIABLE fields RESULT_VARIABLE status)
foreach(needed "Package: quillary" "Version: ${VERSION}" "libqt6widgets6" "libqt6svg6"
               "qt6-qpa-plugins" "fonts-ipafont-gothic | fonts-noto-cjk")
  string(FIND "${fields}" "${needed}" at)
  if(NOT status EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "the package's fields lack \"${needed}\":\n${fields}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb --contents ${package} OUTPUT_VARIABLE contents)
foreach(file ./usr/bin/quillary ./usr/bin/quillary-convert ./usr/share/applications/quillary.desktop
             ./usr/share/icons/hicolor/48x48/apps/quillary.png ./usr/share/doc/quillary/examples/sample.csv)
  string(FIND "${contents}" " ${file}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${file}")
  endif()
endforeach()
