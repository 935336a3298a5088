# What the package holds besides the programs, and the Debian package itself.
include(GNUInstallDirs)
set(QUILLARY_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillary)
install(FILES README.md DESTINATION ${QUILLARY_DOC_DIR})
install(FILES examples/sample.csv examples/template.html examples/style.css examples/expected.html
  examples/product.html examples/expected-item-Pear.html
  DESTINATION ${QUILLARY_DOC_DIR}/examples)
add_subdirectory(docs)

# Installing and packaging take the build as it is: the README builds first,
# and the package test runs after the build without remaking every target.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillary)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillary developers")
set(CPACK_PACKAGE_CONTACT "Quillary developers <quillary@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Edit a CSV table and convert it to HTML or text through a template")
# Lines of at most 80 characters, for terminals of that width.
set(CPACK_PACKAGE_DESCRIPTION
  "Quillary edits a table of records, a CSV file in UTF-8 or the Japanese code\n\
page CP932, in a grid and fills a template's placeholder comments and repeat\n\
blocks with it, making HTML pages or any other text. It includes the window\n\
program (Japanese user interface, user guide in Japanese and English) and the\n\
command-line converter quillary-convert.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillary.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian 12's Qt 6 and a Japanese font for the window; the platform plug-ins
# come in their own package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6, libstdc++6, zlib1g, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6printsupport6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins, \
fonts-ipafont-gothic | fonts-noto-cjk")
# Qt's own buttons and dialogs in Japanese; without it they stay English.
# The web engine draws the preview's page as a browser would; some 200 MB
# for one tab, which the program checks for as it starts it and does
# without (the rich-text page), so it is recommended: installed by default,
# left out where it is not wanted or cannot run.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libqt6webenginewidgets6 (>= 6.4)")
include(CPack)
