# What an installed Dyskar is made of: the program, its desktop entry, metadata, icons and
# manual pages, laid out as the desktop finds them.
include(GNUInstallDirs)
set(DYSKAR_ID pl.dyskar.Dyskar)
set(DYSKAR_DATA ${PROJECT_SOURCE_DIR}/data)

install(TARGETS dyskar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DYSKAR_DATA}/${DYSKAR_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DYSKAR_DATA}/${DYSKAR_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${DYSKAR_DATA}/icons/${DYSKAR_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
    install(FILES ${DYSKAR_DATA}/icons/${DYSKAR_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${DYSKAR_ID}.png)
endforeach()
install(FILES ${DYSKAR_DATA}/man/dyskar.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${DYSKAR_DATA}/man/pl/dyskar.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/pl/man1)
