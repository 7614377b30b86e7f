# Resources.qdoc (country flags, the radio picture) and cbuild.qdoc (the
# loading picture), drawn by tools/skinart. The pictures need Qt, so they
# come with the user interface only. The PNG copies in skin_pictures/ are
# for looking at; nothing reads them.
if(VIDORA_BUILD_UI)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tools/skinart ${CMAKE_BINARY_DIR}/tools/skinart)
  set(VIDORA_RESOURCE_PACK ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Resources.qdoc)
  set(VIDORA_SPLASH_PACK ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/cbuild.qdoc)
  add_custom_command(
    OUTPUT ${VIDORA_RESOURCE_PACK} ${VIDORA_SPLASH_PACK}
    COMMAND skinart ${VIDORA_RESOURCE_PACK} ${VIDORA_SPLASH_PACK} ${CMAKE_BINARY_DIR}/skin_pictures
    DEPENDS skinart
    COMMENT "Drawing Resources.qdoc and cbuild.qdoc"
    VERBATIM)
  list(APPEND VIDORA_DATA_FILES ${VIDORA_RESOURCE_PACK} ${VIDORA_SPLASH_PACK})
endif()
