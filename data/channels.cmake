# Channels.vdch: the catalogue the player ships with, compiled from the
# readable channel list channels.json (through the qdoc JSON form).
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/channels_json ${CMAKE_BINARY_DIR}/tools/channels_json)
set(VIDORA_CHANNELS_SOURCE ${CMAKE_CURRENT_LIST_DIR}/channels.json)
set(VIDORA_CHANNELS_QDOC_JSON ${CMAKE_CURRENT_BINARY_DIR}/channels.qdoc.json)
set(VIDORA_CHANNELS_FILE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Channels.vdch)
add_custom_command(
  OUTPUT ${VIDORA_CHANNELS_FILE}
  COMMAND channels_json ${VIDORA_CHANNELS_SOURCE} ${VIDORA_CHANNELS_QDOC_JSON}
  COMMAND qdoc build ${VIDORA_CHANNELS_QDOC_JSON} ${VIDORA_CHANNELS_FILE}
  DEPENDS channels_json qdoc ${VIDORA_CHANNELS_SOURCE}
  BYPRODUCTS ${VIDORA_CHANNELS_QDOC_JSON}
  COMMENT "Compiling Channels.vdch"
  VERBATIM)
list(APPEND VIDORA_DATA_FILES ${VIDORA_CHANNELS_FILE})
