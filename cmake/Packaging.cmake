# A Debian package of the installed tree: `cpack -G DEB` in a build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovane)
set(CPACK_PACKAGE_VENDOR "Tovane")
set(CPACK_PACKAGE_CONTACT "Tovane developers <tovane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Split a long text file into numbered parts of whole lines")
set(CPACK_PACKAGE_DESCRIPTION
    "Tovane splits one plain-text file into numbered part files of whole lines,\n"
    "either by size or into a number of parts. It keeps every byte of GBK, UTF-8\n"
    "and UTF-16 text. The window is in Simplified Chinese; tovane-split is the\n"
    "same split on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Libraries from the binaries themselves; what they load at run time by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk, xdg-utils")
include(CPack)
