# What `cmake --install` puts where: the library and its header, a CMake package and a
# pkg-config file to find them, the command, the stylesheet that saving reads, and the schemas
# of the setup file and of the command's JSON form.
# Each file belongs to a component, one Debian package each (cmake/debian-packages.cmake):
#   library       the shared library and the stylesheet, what programs need at run time
#   development   the header, the link symlink, the CMake package and the pkg-config file
#   command       the korvane command and the schemas it prints, which describe what it reads
#                 and writes; nothing reads them at run time
include(CMakePackageConfigHelpers)

set(KORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Korvane)

install(TARGETS Korvane EXPORT KorvaneTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT library)
install(FILES ${PROJECT_SOURCE_DIR}/include/korvane.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT development)
install(EXPORT KorvaneTargets NAMESPACE Korvane:: DESTINATION ${KORVANE_CMAKE_DIR}
  COMPONENT development)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KorvaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KorvaneConfig.cmake INSTALL_DESTINATION ${KORVANE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KorvaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KorvaneConfig.cmake ${PROJECT_BINARY_DIR}/KorvaneConfigVersion.cmake
  DESTINATION ${KORVANE_CMAKE_DIR} COMPONENT development)

file(RELATIVE_PATH KORVANE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${PROJECT_SOURCE_DIR}/cmake/korvane.pc.in ${PROJECT_BINARY_DIR}/korvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/korvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)

install(FILES ${PROJECT_SOURCE_DIR}/data/indent.xsl DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane
  COMPONENT library)
if(TARGET korvane)
  install(TARGETS korvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT command)
endif()
if(TARGET korvane_schemas)
  install(FILES ${PROJECT_BINARY_DIR}/generated/setup.xsd
    ${PROJECT_BINARY_DIR}/generated/setup.schema.json
    DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane COMPONENT command)
endif()
