# How cpack (`make package`) builds the Debian package from the install rules. The homepage is
# a placeholder until the project has a public home.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wispen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Wispen contributors")
set(CPACK_PACKAGE_CONTACT "The Wispen contributors <wispen@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scratchpad for rich-text notes that save themselves")
set(CPACK_PACKAGE_DESCRIPTION [=[
Wispen is a small single-window scratchpad for rich text: a row of tabs, one
editor showing the selected tab's note, and a narrow formatting panel.

There is no save command: notes are written automatically as plain UTF-8 text
files, either back to the file they came from or as new files on the desktop.
Nothing is ever overwritten, and a recovery journal keeps every note that is
not yet in its file.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The program is built with debugging information; the package ships it without.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/wispen/wispen)
# The libraries the program links come from dpkg-shlibdeps; Qt loads the platform plugins and
# the SVG icon engine at run time, so no link shows that they are needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")

include(CPack)
