# Desktop integration of the tray application: menu entry, icon, and an autostart example that
# the user copies into ~/.config/autostart/ (not installed there: starting with the session is
# the user's choice).
include(GNUInstallDirs)

set(VELMORA_RECURSOS ${CMAKE_CURRENT_LIST_DIR}/../resources)
install(FILES ${VELMORA_RECURSOS}/velmora.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELMORA_RECURSOS}/velmora.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${VELMORA_RECURSOS}/velmora-autostart.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)
