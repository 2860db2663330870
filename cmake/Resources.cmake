# tarvik_embed_files(<target> <symbol-prefix> FILES <file>...)
# Compiles files into a target as constant byte arrays. For each file a
# C++ source defines `extern const unsigned char <prefix>_<stem>[]` and
# `extern const std::size_t <prefix>_<stem>_size` (the size excludes the
# terminating zero that follows the data).
function(tarvik_embed_files target prefix)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  foreach(file ${ARG_FILES})
    get_filename_component(abs ${file} ABSOLUTE)
    get_filename_component(stem ${file} NAME_WE)
    string(MAKE_C_IDENTIFIER "${prefix}_${stem}" symbol)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DIN=${abs} -DOUT=${out} -DSYMBOL=${symbol}
              -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
      DEPENDS ${abs} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
      COMMENT "Embedding ${file}"
      VERBATIM)
    target_sources(${target} PRIVATE ${out})
  endforeach()
endfunction()
