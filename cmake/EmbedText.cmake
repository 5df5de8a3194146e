# cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DSYMBOL=NAME -P EmbedText.cmake
# Writes FILE as a C++ constant `extern const char NAME[]` (in namespace
# ctbstore), so a program carries the text and needs no file at run time.
file(READ "${INPUT}" _text)
string(FIND "${_text}" ")ctbtext\"" _clash)
if(NOT _clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw-string delimiter )ctbtext\"")
endif()
get_filename_component(_name "${INPUT}" NAME)
set(_out "// Generated from ${_name} at build time; edit ${_name} instead.\n")
string(APPEND _out "namespace ctbstore {\nextern const char ${SYMBOL}[];\n")
string(APPEND _out "const char ${SYMBOL}[] = R\"ctbtext(${_text})ctbtext\";\n}  // namespace ctbstore\n")
file(WRITE "${OUTPUT}.tmp" "${_out}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
