# Turns a word list (one word a line, "#" starting a comment) into a C++
# source that defines FUNCTION, returning the words as a span of UTF-8
# strings. Run by the build as
#   cmake -DINPUT=list.txt -DOUTPUT=list.cpp -DHEADER=words/X.h -DFUNCTION=Name -P word_list_to_cpp.cmake
file(STRINGS "${INPUT}" lines ENCODING UTF-8)
set(words "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*$" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  if(line MATCHES "[\"\\\\]")
    message(FATAL_ERROR "${INPUT}: a word may not hold a quote or a backslash: ${line}")
  endif()
  string(APPEND words "    \"${line}\",\n")
endforeach()
if(words STREQUAL "")
  message(FATAL_ERROR "${INPUT} holds no words")
endif()
get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Made by the build from ${input_name}: edit that file, not this one.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace {\n"
  "constexpr const char* kWords[] = {\n${words}};\n"
  "}  // namespace\n\n"
  "std::span<const char* const> ${FUNCTION}() { return kWords; }\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
