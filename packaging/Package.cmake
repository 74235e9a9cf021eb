# The .deb that scripts/package builds: its dependencies come from the shared libraries the
# program links (dpkg-shlibdeps), plus the decoders and fonts it loads at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME backdropper)
set(CPACK_PACKAGE_VENDOR "The Backdropper developers")
set(CPACK_PACKAGE_CONTACT "The Backdropper developers <developers@backdropper.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop wallpaper changer with a month calendar")
# One string: a CMake list would put semicolons into the text.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Backdropper lives in the tray and changes the desktop wallpaper by itself,\n"
       "at the interval you choose or when you press its hot keys, from the folders\n"
       "you keep your pictures in. Every picture is fitted to the screen, its\n"
       "brightness evened out, and a month calendar is painted on it in a skin of\n"
       "your choice.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The X11 and Wayland platform plugins and the extra decoders are loaded, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-wayland, qt6-image-formats-plugins, fonts-liberation | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debian wants the copyright and a compressed changelog in the package's doc folder.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/backdropper)
include(CPack)
