# What `cmake --install` puts beside the two programs (desktop entry, icons), and the
# Debian package CPack makes of it: cpack --config build/CPackConfig.cmake
if(NOT VARO_WITH_QT)
  return()
endif()
if(WIN32)
  include(cmake/VaroWindowsPackage.cmake)
  return()
endif()

# The icon is drawn once as SVG; the fixed sizes of the hicolor theme are rendered from it.
find_program(VARO_RSVG_CONVERT rsvg-convert REQUIRED)
set(icon ${PROJECT_SOURCE_DIR}/resources/icons/varo-programmer.svg)
set(icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
set(rendered)
foreach(size 16 22 24 32 48 64 128 256)
  set(png_dir ${PROJECT_BINARY_DIR}/icons/${size}x${size})
  set(png ${png_dir}/varo-programmer.png)
  # Ninja makes an output's folder itself, Make does not.
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${png_dir}
    COMMAND ${VARO_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon}
    DEPENDS ${icon} VERBATIM)
  install(FILES ${png} DESTINATION ${icon_dir}/${size}x${size}/apps)
  list(APPEND rendered ${png})
endforeach()
add_custom_target(varo_icons ALL DEPENDS ${rendered})
install(FILES ${icon} DESTINATION ${icon_dir}/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/varo-programmer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# .vrd files open in the program; Debian's shared-mime-info and desktop-file-utils update their
# databases by their own triggers when the package puts these files in place.
install(FILES ${PROJECT_SOURCE_DIR}/resources/varo-programmer-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME varo-programmer.xml)
install(FILES ${PROJECT_SOURCE_DIR}/resources/varo-programmer.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The licence, the changelog and the manual pages, as Debian keeps them: compressed with gzip -9n
# (no name, no time stamp, so the same sources give the same bytes).
find_program(VARO_GZIP gzip REQUIRED)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/varo-programmer)
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright DESTINATION ${doc_dir})
set(compressed)
function(varo_gzip source output)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND sh -c "${VARO_GZIP} -9n -c \"$0\" > \"$1\"" ${source} ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
varo_gzip(${PROJECT_SOURCE_DIR}/resources/debian/changelog ${PROJECT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/doc/changelog.gz DESTINATION ${doc_dir})
list(APPEND compressed ${PROJECT_BINARY_DIR}/doc/changelog.gz)
foreach(page varo-programmer varo-indicator-sim)
  foreach(lang en tr)
    if(lang STREQUAL en)
      set(source ${PROJECT_SOURCE_DIR}/resources/man/${page}.1)
      set(dest ${CMAKE_INSTALL_MANDIR}/man1)
    else()
      set(source ${PROJECT_SOURCE_DIR}/resources/man/${lang}/${page}.1)
      set(dest ${CMAKE_INSTALL_MANDIR}/${lang}/man1)
    endif()
    set(out ${PROJECT_BINARY_DIR}/man/${lang}/${page}.1.gz)
    varo_gzip(${source} ${out})
    install(FILES ${out} DESTINATION ${dest})
    list(APPEND compressed ${out})
  endforeach()
endforeach()
add_custom_target(varo_docs ALL DEPENDS ${compressed})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varo-programmer)
set(CPACK_PACKAGE_VENDOR VARO)
set(CPACK_PACKAGE_CONTACT "VARO Programmer developers <varo-programmer@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer for VARO elevator floor indicators")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Edits the floor patterns of a VARO elevator floor indicator on a picture of\n"
  "its display, keeps them in .vrd project files, and writes them to the\n"
  "indicator and reads them back over a serial line. A simulated indicator,\n"
  "varo-indicator-sim, stands in for the hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_STRIP_FILES ON)
# The libraries come from dpkg-shlibdeps; the window's fonts and Qt's own translations do not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
