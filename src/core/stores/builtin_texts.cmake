# Compiles the English language source into builtin_english_texts.cpp, the
# texts the player falls back to when Languages.lngp is damaged. The file
# is rewritten only when its content changes.
set(_vidora_english ${PROJECT_SOURCE_DIR}/data/languages/en.json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_vidora_english})
file(READ ${_vidora_english} _vidora_json)
string(JSON _vidora_texts GET "${_vidora_json}" texts)
string(JSON _vidora_count LENGTH "${_vidora_texts}")
math(EXPR _vidora_last "${_vidora_count} - 1")
set(_vidora_rows "")
foreach(_vidora_index RANGE ${_vidora_last})
  string(JSON _vidora_key MEMBER "${_vidora_texts}" ${_vidora_index})
  string(JSON _vidora_text GET "${_vidora_texts}" "${_vidora_key}")
  string(APPEND _vidora_rows "    {\"${_vidora_key}\", R\"vidora(${_vidora_text})vidora\"},\n")
endforeach()
set(VIDORA_BUILTIN_TEXTS_CPP ${CMAKE_CURRENT_BINARY_DIR}/builtin_english_texts.cpp)
file(WRITE ${VIDORA_BUILTIN_TEXTS_CPP}.new
  "// Generated from data/languages/en.json at configure time.\n"
  "#include \"core/stores/builtin_texts.h\"\n\n"
  "namespace vidora {\n\n"
  "const BuiltInText kBuiltInEnglishTexts[] = {\n"
  "${_vidora_rows}"
  "};\n"
  "const size_t kBuiltInEnglishTextCount = ${_vidora_count};\n\n"
  "}  // namespace vidora\n")
configure_file(${VIDORA_BUILTIN_TEXTS_CPP}.new ${VIDORA_BUILTIN_TEXTS_CPP} COPYONLY)
