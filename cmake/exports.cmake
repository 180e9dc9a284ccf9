# Reads src/api/exports.list, the one list of the library's exports, and makes from it what
# the build needs:
#   KORVANE_EXPORT_NAMES     the names, in the list's order
#   korvane.map              the version script that lets only those names out of the library,
#                            each versioned KORVANE_0.1
#   korvane_exports.inc      one KORVANE_EXPORT(Name, bytes) line per export, for the tests
set(KORVANE_EXPORT_LIST ${PROJECT_SOURCE_DIR}/src/api/exports.list)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${KORVANE_EXPORT_LIST})

file(STRINGS ${KORVANE_EXPORT_LIST} export_lines REGEX "^[A-Za-z]")
set(KORVANE_EXPORT_NAMES "")
set(export_macros "")
foreach(line IN LISTS export_lines)
  if(NOT line MATCHES "^([A-Za-z]+) ([0-9]+)$")
    message(FATAL_ERROR "${KORVANE_EXPORT_LIST}: not 'Name bytes': ${line}")
  endif()
  list(APPEND KORVANE_EXPORT_NAMES ${CMAKE_MATCH_1})
  string(APPEND export_macros "KORVANE_EXPORT(${CMAKE_MATCH_1}, ${CMAKE_MATCH_2})\n")
endforeach()

# Every export is bound to the version node KORVANE_0.1, which programs linked against the
# library then require. The node is fixed, not taken from the project's version: exports added
# later go into a new node, so that programs linked against an older library keep loading.
list(JOIN KORVANE_EXPORT_NAMES ";\n    " export_globals)
set(KORVANE_VERSION_SCRIPT ${PROJECT_BINARY_DIR}/korvane.map)
file(CONFIGURE OUTPUT ${KORVANE_VERSION_SCRIPT} CONTENT
  "/* Made from src/api/exports.list: only the exports leave the library. */\nKORVANE_0.1 {\n  global:\n    ${export_globals};\n  local: *;\n};\n")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/korvane_exports.inc CONTENT
  "// Made from src/api/exports.list.\n${export_macros}")

# On Windows, two module-definition files:
#   Korvane.def            the link's: `Name = Name@N` on 32-bit Windows, so that the DLL exports
#                          the undecorated names and the link fails when a function's argument
#                          bytes differ from the list; plain names on 64-bit Windows. It is
#                          shipped beside the DLL for those who make their own import library.
#   Korvane-decorated.def  `Name@N` lines for `dlltool -k`, whose import library then carries
#                          the decorated symbols that the header's __stdcall declarations use.
if(WIN32)
  set(def_lines "")
  set(decorated_lines "")
  foreach(line IN LISTS export_lines)
    string(REGEX MATCH "^([A-Za-z]+) ([0-9]+)$" ignored "${line}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND def_lines "    ${CMAKE_MATCH_1} = ${CMAKE_MATCH_1}@${CMAKE_MATCH_2}\n")
      string(APPEND decorated_lines "    ${CMAKE_MATCH_1}@${CMAKE_MATCH_2}\n")
    else()
      string(APPEND def_lines "    ${CMAKE_MATCH_1}\n")
      string(APPEND decorated_lines "    ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  set(KORVANE_DEF_FILE ${PROJECT_BINARY_DIR}/Korvane.def)
  set(KORVANE_DECORATED_DEF_FILE ${PROJECT_BINARY_DIR}/Korvane-decorated.def)
  file(CONFIGURE OUTPUT ${KORVANE_DEF_FILE} CONTENT
    "; Made from src/api/exports.list.\nLIBRARY Korvane.dll\nEXPORTS\n${def_lines}")
  file(CONFIGURE OUTPUT ${KORVANE_DECORATED_DEF_FILE} CONTENT
    "; Made from src/api/exports.list.\nLIBRARY Korvane.dll\nEXPORTS\n${decorated_lines}")
endif()
