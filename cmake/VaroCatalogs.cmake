# The program's message catalogs: resources/locale/<lang>/<domain>.po, checked and compiled by GNU
# msgfmt into share/varo-programmer/locale/<lang>/LC_MESSAGES/ of the build tree, where the program
# in bin/ finds them as it finds them installed. The "default" domain also takes the serial
# component's texts (cport.po): the component translates its messages in that domain.
find_program(VARO_MSGFMT msgfmt REQUIRED)
find_program(VARO_MSGCAT msgcat REQUIRED)

set(VARO_CATALOG_DIR ${PROJECT_BINARY_DIR}/share/varo-programmer/locale)
set(varo_catalogs)
file(GLOB varo_languages RELATIVE ${PROJECT_SOURCE_DIR}/resources/locale ${PROJECT_SOURCE_DIR}/resources/locale/*)
foreach(lang ${varo_languages})
  set(src ${PROJECT_SOURCE_DIR}/resources/locale/${lang})
  set(out ${VARO_CATALOG_DIR}/${lang}/LC_MESSAGES)
  add_custom_command(OUTPUT ${out}/cport.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${VARO_MSGFMT} --check -o ${out}/cport.mo ${src}/cport.po
    DEPENDS ${src}/cport.po VERBATIM)
  add_custom_command(OUTPUT ${out}/default.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${VARO_MSGCAT} --use-first -o ${out}/default.po ${src}/default.po ${src}/cport.po
    COMMAND ${VARO_MSGFMT} --check -o ${out}/default.mo ${out}/default.po
    COMMAND ${CMAKE_COMMAND} -E remove ${out}/default.po
    DEPENDS ${src}/default.po ${src}/cport.po VERBATIM)
  list(APPEND varo_catalogs ${out}/cport.mo ${out}/default.mo)
endforeach()
add_custom_target(varo_catalogs ALL DEPENDS ${varo_catalogs})
if(WIN32)
  install(DIRECTORY ${VARO_CATALOG_DIR} DESTINATION .)
else()
  install(DIRECTORY ${VARO_CATALOG_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/varo-programmer)
endif()
