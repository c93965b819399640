# What `cmake --install` puts beside the two programs (desktop entry, icons), and the
# Debian package CPack makes of it: cpack --config build/CPackConfig.cmake
if(NOT VARO_WITH_QT)
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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varo-programmer)
set(CPACK_PACKAGE_VENDOR VARO)
set(CPACK_PACKAGE_CONTACT "VARO Programmer developers <varo-programmer@localhost>")
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
