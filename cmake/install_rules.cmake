# What `cmake --install` puts where (GNUInstallDirs), and the Debian
# package `cpack -G DEB` makes of it. The build tree stays runnable as it is.
set(VIDORA_BIN_FOLDER ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})

# Installed as vidora-qdoc: /usr/bin/qdoc belongs to Qt's documentation
# tool (qtchooser links it), and dpkg refuses a package whose file another
# package owns. The build tree keeps the short name.
install(TARGETS qdoc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(CODE "file(RENAME \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/qdoc\"
                         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vidora-qdoc\")")
install(FILES ${VIDORA_BIN_FOLDER}/Languages.lngp ${VIDORA_BIN_FOLDER}/Channels.vdch
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vidora)

# Man pages, compressed as Debian wants them (no time stamp, so that
# builds are reproducible).
find_program(VIDORA_GZIP gzip REQUIRED)
set(VIDORA_MAN_PAGES "")
foreach(page vidora.1 vidora-qdoc.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${VIDORA_GZIP} -9nc ${PROJECT_SOURCE_DIR}/data/man/${page} > ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/man/${page}
    COMMENT "Compressing ${page}")
  list(APPEND VIDORA_MAN_PAGES ${compressed})
endforeach()
set(compressed ${CMAKE_BINARY_DIR}/package/changelog.gz)
add_custom_command(
  OUTPUT ${compressed}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
  COMMAND ${VIDORA_GZIP} -9nc ${PROJECT_SOURCE_DIR}/data/package/changelog > ${compressed}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/package/changelog
  COMMENT "Compressing the changelog")
add_custom_target(vidora_documents ALL DEPENDS ${VIDORA_MAN_PAGES} ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/man/vidora-qdoc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/data/package/copyright ${compressed}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(VIDORA_BUILD_UI)
  install(TARGETS vidora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${VIDORA_BIN_FOLDER}/Resources.qdoc ${VIDORA_BIN_FOLDER}/cbuild.qdoc
          DESTINATION ${CMAKE_INSTALL_DATADIR}/vidora)
  install(FILES ${CMAKE_BINARY_DIR}/man/vidora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/vidora.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/invalid.vidora.Vidora.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${VIDORA_ICON_SOURCE} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size ${VIDORA_ICON_SIZES})
    install(FILES ${VIDORA_ICON_FOLDER}/${size}x${size}/apps/vidora.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vidora)
set(CPACK_PACKAGE_VENDOR "Vidora")
set(CPACK_PACKAGE_CONTACT "Vidora developers <developers@vidora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for internet TV channels and radio stations")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vidora plays internet television channels and radio stations. The user
picks a channel from a catalogue grouped by country, category and kind
(TV or radio), keeps favourites, and watches or listens in a dark,
skinned window. A stream address given on the command line plays at once.

The package also holds vidora-qdoc, the tool that shows and builds the player's
data files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no library link names them: Qt's window-system
# plugins (the player cannot open a window without them), libmpv (loaded
# while the loading screen shows) and libcanberra for the menu sound.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libmpv2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcanberra0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
