# What `cmake --install` puts where (GNUInstallDirs): the program, its modules, its help
# file, the desktop entry, the icon in every size, the AppStream metadata and the licence.
set(VANTORA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS vantora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/Help.rtf DESTINATION ${VANTORA_INSTALL_DATADIR})

configure_file(${VANTORA_PACKAGING_DIR}/vantora.desktop.in
               ${PROJECT_BINARY_DIR}/packaging/${VANTORA_APP_ID}.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${VANTORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${VANTORA_PACKAGING_DIR}/vantora.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${VANTORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${VANTORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: our own SVG, and PNGs drawn by tools/makepictures (`make pictures`), all committed.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantora)
