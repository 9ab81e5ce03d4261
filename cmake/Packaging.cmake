# A Debian package from the same install rules as `cmake --install`:
#   cmake --build --preset default --target package
set(CPACK_PACKAGE_NAME vistaloom)
set(CPACK_PACKAGE_VENDOR "The Vistaloom developers")
set(CPACK_PACKAGE_CONTACT ${VISTALOOM_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "theme-based screen saver")
# Debian wants the long description in lines of less than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Pictures from a theme fly across a random two-colour gradient on twenty"
  "kinds of path, with the theme's music and the time of day. It runs on its"
  "own on every monitor, and under XScreenSaver, the MATE screensaver and the"
  "Xfce screensaver.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; what they load at run time does
# not show in their links: Qt's X11 platform plugin, the General MIDI sounds for the demo
# theme's tune.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's Wayland platform plugin, so the saver the watcher starts on a Wayland desktop is a
# Wayland client rather than an XWayland one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fluid-soundfont-gm, fonts-dejavu-core, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver | xfce4-screensaver")

# Only the programs and the data; the tests' helpers and benchmarks are not installed.
include(CPack)
