# The Debian package: scripts/build-deb.sh configures a Release build with
# CMAKE_INSTALL_PREFIX=/usr and runs cpack -G DEB in it. dpkg-shlibdeps
# computes the libraries' packages; what the programs load without linking
# it is named here.

# The GS1 dictionary is inside the programs; its licence asks to go with them.
install(FILES ${PROJECT_SOURCE_DIR}/symbologies/gs1/LICENSE
              ${PROJECT_SOURCE_DIR}/symbologies/gs1/README.md
    DESTINATION ${CMAKE_INSTALL_DOCDIR}/gs1-syntax-dictionary)

set(BARCODEGEN_MAINTAINER "The barcodegen team <barcodegen@localhost>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME barcodegen)
set(CPACK_PACKAGE_VENDOR "The barcodegen team")
set(CPACK_PACKAGE_CONTACT "${BARCODEGEN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draw one-dimensional barcodes as pictures")
# Lines as the control file shows them (CPack indents each).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Barcode Generator turns a short text into a barcode picture: EAN-8,"
    "EAN-13, UPC-A, UPC-E and their supplements, Code 39, Code 93, Code 128,"
    "EAN-128, two of five, Codabar, MSI and PostNet."
    "."
    "The window (barcodegen) fits the symbol into 300 x 200 pixels, copies it"
    "to the clipboard or saves it as PNG, BMP or JPEG. The command-line"
    "generator (barcodegen-cli) draws the same pictures, also as SVG or PDF,"
    "for one code or a file of codes, and can read each back to check it."
    "."
    "The library libbarcodegen gives other programs the same symbols: their"
    "patterns and texts, the drawing on a canvas of their own, and the"
    "pictures as PNG, SVG or PDF. Its headers, CMake package and pkg-config"
    "file are included.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libbarcodegen's shlibs file and the ldconfig trigger, so programs built on
# it depend on this package.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The pictures' text is Wine's Tahoma, registered at start-up and read by the
# library from fonts-wine's folder; DejaVu is the fallback of the window and
# the dialogs, and of the library's text.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-dejavu-core")
# xdg-open opens the credits link; without it the program says it cannot.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
