# `make package`: a Debian package of what packaging/install.cmake installs. Its dependencies are
# worked out from the shared libraries the program and its modules (browser, time-lapse) link.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "vantora")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Vantora Project")
set(CPACK_PACKAGE_CONTACT "Vantora Project <maintainers@vantora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Webcam viewer: many Internet webcams at once")
# Lines of at most 80 columns, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vantora shows Internet webcams that publish their current picture at a\n"
    "fixed web address: a list of cameras, up to 24 of them at once in a grid,\n"
    "a detail view with zoom and full screen, and new pictures saved as JPEG\n"
    "files.\n"
    "Licence: ${VANTORA_LICENSE} (/usr/share/doc/vantora/LICENSE).")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked: the window system's platform plugin. The browser module
# calls the engine's own set-up routine, which is not part of its stable interface: the package
# wants the engine it was built against. The icons go into the hicolor theme, whose index a menu
# needs to find them; without recommended packages nothing else brings it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-webengine-abi (= ${Qt6WebEngineWidgets_VERSION}), hicolor-icon-theme")
include(CPack)
