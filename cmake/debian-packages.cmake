# The Debian packages that `cpack -G DEB` makes from the install components (scripts/package.sh
# configures with -DCMAKE_INSTALL_PREFIX=/usr, so the library goes into the multiarch lib
# directory and the command finds the stylesheet in /usr/share/korvane):
#   libkorvane0      the shared library and indent.xsl (component library)
#   libkorvane-dev   what building against it needs (component development)
#   korvane          the command and the schemas it prints (component command)
set(KORVANE_PACKAGE_MAINTAINER "Korvane developers <korvane@example.org>"
  CACHE STRING "Maintainer field of the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL library development command)
set(CPACK_PACKAGE_VENDOR "the Korvane developers")
set(CPACK_PACKAGE_CONTACT "${KORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Dependencies on system libraries come from dpkg-shlibdeps; the library's package carries a
# shlibs file, so that packages built against it depend on it in turn.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies on libkorvane0 (`= version`), which dpkg-shlibdeps cannot see: the
# development files link against its library, and the command, which has the library's code
# linked in statically, reads the stylesheet that libkorvane0 installs.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
set(CPACK_COMPONENT_COMMAND_DEPENDS library)

# Descriptions: the synopsis, then lines of at most 72 characters.
set(KORVANE_PACKAGE_ABOUT "Korvane reads and writes a setup description: one XML file that
says what an installation does (the files to copy, the registry values
to write, the processes to stop, the commands to run, the reserved
words that stand for machine-dependent text in paths).")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libkorvane0)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# The library activates the ldconfig trigger, so that the loader's cache knows it.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/cmake/debian/libkorvane0/triggers)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "library to read and write setup description files
${KORVANE_PACKAGE_ABOUT}
This package holds the shared library and the stylesheet that saving
reads.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkorvane-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# korvane.pc names libxml2 and libxslt as private requirements, which pkg-config reads.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libxml2-dev, libxslt1-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "development files for the Korvane library
${KORVANE_PACKAGE_ABOUT}
This package holds the C header korvane.h, a CMake package
(find_package(Korvane)) and a pkg-config file (korvane) for building
programs against libkorvane0.")

set(CPACK_DEBIAN_COMMAND_PACKAGE_NAME korvane)
set(CPACK_DEBIAN_COMMAND_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_COMMAND_DESCRIPTION "command to read, write and compare setup description files
${KORVANE_PACKAGE_ABOUT}
The korvane command shows, checks, formats, builds, stamps and compares
setup files, and shows the special folders of the system. This package
also holds the schemas of setup files and of their JSON form, for
editors.")

# Each package carries the licence as its copyright file, and the lintian overrides of
# cmake/debian/PACKAGE/, each explained there.
foreach(component library development command)
  string(TOUPPER ${component} variable)
  set(package ${CPACK_DEBIAN_${variable}_PACKAGE_NAME})
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} RENAME copyright
    COMPONENT ${component})
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/${package}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${package}
    COMPONENT ${component})
endforeach()

include(CPack)
