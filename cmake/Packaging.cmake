# The Debian package (`cpack -G DEB` in the build folder): the installed tree, with the
# libraries' packages found by dpkg-shlibdeps and the fonts the movies are drawn with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumenreel)
set(CPACK_PACKAGE_VENDOR "The Lumenreel developers")
set(CPACK_PACKAGE_CONTACT "The Lumenreel developers <developers@lumenreel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Player and tools for Lumenreel demo movies")
set(CPACK_PACKAGE_DESCRIPTION
    "Plays published Lumenreel demos and authoring documents (screen-capture tutorials with a\n"
    "gliding cursor, speech-balloon captions, highlights and a soundtrack), and inspects,\n"
    "renders, exports and bundles them from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Staged through DESTDIR, so the install step leaves the desktop caches to the package's triggers.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "zenity | kdialog, fonts-noto-color-emoji")
include(CPack)
