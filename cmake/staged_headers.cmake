# CLI11 and nlohmann/json for a Windows cross build. Both are header-only: their headers are taken
# from the build machine's packages, but staged into a folder of the build tree of their own, so
# that the cross compiler never searches the build machine's include folder, whose C library
# headers would replace mingw-w64's.
set(KORVANE_HOST_INCLUDE_DIR /usr/include CACHE PATH
  "Where the build machine's CLI11 (CLI/) and nlohmann/json (nlohmann/) headers are")
set(staged ${PROJECT_BINARY_DIR}/staged-include)
foreach(library CLI nlohmann)
  if(NOT IS_DIRECTORY ${KORVANE_HOST_INCLUDE_DIR}/${library})
    message(FATAL_ERROR "${KORVANE_HOST_INCLUDE_DIR}/${library} is missing: install CLI11 and "
      "nlohmann/json (Debian: libcli11-dev, nlohmann-json3-dev), or set KORVANE_HOST_INCLUDE_DIR")
  endif()
  file(REMOVE_RECURSE ${staged}/${library})
  file(COPY ${KORVANE_HOST_INCLUDE_DIR}/${library} DESTINATION ${staged})
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
# As system headers, as find_package would give them: their warnings are not ours.
set_target_properties(CLI11::CLI11 nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${staged}
  INTERFACE_INCLUDE_DIRECTORIES ${staged})
