# Windows: the programs carry the icon and version Explorer shows; `cmake --install` lays out the
# folder they run from (the Qt DLLs and plugins they load, the MinGW runtime those DLLs load, the
# catalogs, Qt's Turkish texts, the licences); the target windows_package makes the MSI and the
# portable zip of that folder.
find_program(VARO_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VARO_CONVERT convert REQUIRED)
find_program(VARO_WIXL wixl)
find_program(VARO_WIXL_HEAT wixl-heat)
find_program(VARO_MSIBUILD msibuild)

set(icon_dir ${PROJECT_BINARY_DIR}/icons)
set(VARO_ICO ${icon_dir}/varo-programmer.ico)
set(pngs)
foreach(size 16 20 24 32 40 48 64 256)
  set(png ${icon_dir}/${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
    COMMAND ${VARO_RSVG_CONVERT} --width ${size} --height ${size} --output ${png}
            ${PROJECT_SOURCE_DIR}/resources/icons/varo-programmer.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/varo-programmer.svg VERBATIM)
  list(APPEND pngs ${png})
endforeach()
add_custom_command(OUTPUT ${VARO_ICO} COMMAND ${VARO_CONVERT} ${pngs} ${VARO_ICO} DEPENDS ${pngs} VERBATIM)
add_custom_target(varo_windows_icon DEPENDS ${VARO_ICO})

set(rc ${PROJECT_BINARY_DIR}/windows/varo-programmer.rc)
configure_file(${PROJECT_SOURCE_DIR}/resources/windows/varo-programmer.rc.in ${rc} @ONLY)
foreach(program varo-programmer varo-programmer-console)
  target_sources(${program} PRIVATE ${rc})
  add_dependencies(${program} varo_windows_icon)
endforeach()
set_source_files_properties(${rc} TARGET_DIRECTORY varo-programmer varo-programmer-console
                            PROPERTIES OBJECT_DEPENDS ${VARO_ICO})

# The programs lie in the folder's root, as Windows programs do; catalogs in locale\ beside them.
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport DESTINATION .)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin DESTINATION platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin DESTINATION styles)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  file(REAL_PATH ${path} path)
  install(FILES ${path} DESTINATION .)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/windows/qt.conf DESTINATION .)
set(VARO_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Qt's own catalogs (Debian's qt6-translations-l10n)")
install(FILES ${VARO_QT_TRANSLATIONS}/qtbase_tr.qm DESTINATION translations)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/resources/windows/THIRD-PARTY.txt DESTINATION licenses)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION licenses RENAME LGPL-3.txt)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION licenses RENAME GPL-3.txt)

if(NOT VARO_WIXL OR NOT VARO_WIXL_HEAT OR NOT VARO_MSIBUILD)
  message(STATUS "wixl or msibuild not found: no Windows installer (Debian packages wixl, msitools)")
  return()
endif()
set(package_dir ${PROJECT_BINARY_DIR}/package)
set(stage "${package_dir}/VARO Programmer")
set(name varo-programmer-${PROJECT_VERSION}-windows-x64)
add_custom_target(windows_package
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_dir}
  COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${stage} --strip
  # --strip takes only the programs; Debian's MinGW runtime DLLs carry their debugging symbols.
  COMMAND ${CMAKE_STRIP} --strip-unneeded ${stage}/libstdc++-6.dll ${stage}/libgcc_s_seh-1.dll ${stage}/libwinpthread-1.dll
  COMMAND ${PROJECT_SOURCE_DIR}/cmake/make-msi.sh ${stage} ${PROJECT_VERSION} ${VARO_ICO} ${package_dir}/${name}.msi
  COMMAND ${CMAKE_COMMAND} -E chdir ${package_dir} ${CMAKE_COMMAND} -E tar cf ${name}.zip --format=zip "VARO Programmer"
  DEPENDS varo-programmer varo-programmer-console varo_windows_icon
  BYPRODUCTS ${package_dir}/${name}.msi ${package_dir}/${name}.zip
  VERBATIM)
