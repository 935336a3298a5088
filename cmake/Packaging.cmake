# What the package holds besides the programs, and the Debian package itself.
include(GNUInstallDirs)
set(QUILLARY_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillary)
install(FILES README.md DESTINATION ${QUILLARY_DOC_DIR})
install(FILES examples/sample.csv examples/template.html examples/expected.html
  DESTINATION ${QUILLARY_DOC_DIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillary developers")
set(CPACK_PACKAGE_CONTACT "Quillary developers <quillary@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Edit a CSV table and convert it to HTML or text through a template")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillary edits a table of records (a CSV file in the Japanese code page) in a grid\n\
and fills a template's placeholder comments and repeat blocks with it, making\n\
HTML pages or any other text. It includes the window program (Japanese user\n\
interface) and the command-line converter quillary-convert.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian 12's Qt 6 and a Japanese font for the window; the platform plug-ins
# come in their own package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6printsupport6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins, \
fonts-ipafont-gothic | fonts-noto-cjk")
include(CPack)
