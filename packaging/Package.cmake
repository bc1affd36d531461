# The Debian package of Impostra, built by `cpack -G DEB` from what the install
# rules put into /usr (scripts/package builds it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME impostra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Impostra developers")
set(CPACK_PACKAGE_CONTACT "Impostra developers <developers@impostra.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hang tag imposition calculator for print shops")
set(CPACK_PACKAGE_DESCRIPTION
    "Impostra lays an order of hang tags out on printing plates: an order is a
list of tag styles with their quantities, a plate has a fixed number of slots,
and Impostra decides how many slots each style gets, how many sheets to print
and how many tags are printed beyond the order. It finds the best division of
an order over two plates and compares it with the layout on one plate.

The package holds the desktop program impostra, whose window is in Chinese,
and the command-line calculator impostra-cli, which also divides orders over
three or more plates and prints its results as text or JSON.")
set(CPACK_STRIP_FILES ON)
# Directories the install creates get 0755 whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the programs link come from dpkg-shlibdeps; the window's
# Chinese font and Qt's Chinese texts for its standard buttons are read at
# run time, so nothing links them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n")

include(CPack)
