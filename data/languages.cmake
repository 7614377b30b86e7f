# Languages.lngp: the user-interface texts, compiled from the readable
# sources in languages/ (English first, so it is lang_0).
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/langpack ${CMAKE_BINARY_DIR}/tools/langpack)
set(VIDORA_LANGUAGE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/languages/en.json
  ${CMAKE_CURRENT_LIST_DIR}/languages/de.json
  ${CMAKE_CURRENT_LIST_DIR}/languages/fr.json
  ${CMAKE_CURRENT_LIST_DIR}/languages/es.json
  ${CMAKE_CURRENT_LIST_DIR}/languages/ru.json)
set(VIDORA_LANGUAGE_PACK ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Languages.lngp)
add_custom_command(
  OUTPUT ${VIDORA_LANGUAGE_PACK}
  COMMAND langpack ${VIDORA_LANGUAGE_PACK} ${VIDORA_LANGUAGE_SOURCES}
  DEPENDS langpack ${VIDORA_LANGUAGE_SOURCES}
  COMMENT "Compiling Languages.lngp"
  VERBATIM)
list(APPEND VIDORA_DATA_FILES ${VIDORA_LANGUAGE_PACK})
