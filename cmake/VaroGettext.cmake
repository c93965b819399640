# Message catalogs for the i18n tests and benchmarks, made at build time with GNU msgfmt.
find_program(VARO_MSGFMT msgfmt REQUIRED)
find_program(VARO_PYTHON3 python3 REQUIRED)

# varo_msgfmt(<output.mo> <input.po> [ENDIANNESS big|little])
function(varo_msgfmt output input)
  cmake_parse_arguments(ARG "" "ENDIANNESS" "" ${ARGN})
  set(endianness)
  if(ARG_ENDIANNESS)
    set(endianness --endianness=${ARG_ENDIANNESS})
  endif()
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${VARO_MSGFMT} ${endianness} -o ${output} ${input}
    DEPENDS ${input} VERBATIM)
endfunction()

# varo_large_po(<output.po> <entries>): a catalog source of realistic texts, the same every build.
function(varo_large_po output count)
  set(script ${PROJECT_SOURCE_DIR}/tests/i18n/large_po.py)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${VARO_PYTHON3} ${script} ${output} ${count}
    DEPENDS ${script} VERBATIM)
endfunction()
