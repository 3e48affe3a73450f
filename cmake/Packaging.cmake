# `cpack -G DEB` (after a build) makes a Debian package of what `cmake --install`
# installs, for /usr. The program finds its bundle, demo artwork and platform
# library relative to itself, so nothing is patched on the way in.
set(CPACK_PACKAGE_NAME trillbox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Trillbox developers")
set(CPACK_PACKAGE_CONTACT "Trillbox developers <trillbox@localhost>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Now-playing widget: artwork, a scrolling title line, playback controls and a volume or time row")
set(CPACK_GENERATOR DEB)
# Whatever CMAKE_INSTALL_PREFIX the tree was configured with.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends worked out from the ELF files. The platform library is the package's own:
# dpkg-shlibdeps finds it through the program's and the bundle's $ORIGIN RPATH.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The system font, and fallback fonts for the scripts and emoji it lacks (titles
# come from the user's own players).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-core, fonts-noto-cjk, fonts-noto-color-emoji")
# A package carries no debug information (the build tree keeps it).
set(CPACK_STRIP_FILES ON)
# A source archive (package_source) leaves the build trees and git out.
set(CPACK_SOURCE_IGNORE_FILES "/build/;/\\.git/")

include(CPack)
