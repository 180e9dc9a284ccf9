# Writes what `korvane schema FORM` prints into a file, for installing:
#   cmake -DKORVANE=PROGRAM -DFORM=--xsd|--json -DOUTPUT=FILE -P print_schema.cmake
execute_process(COMMAND ${KORVANE} schema ${FORM}
  OUTPUT_FILE ${OUTPUT}.new RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT}.new)
  message(FATAL_ERROR "korvane schema ${FORM} failed: ${status}")
endif()
file(RENAME ${OUTPUT}.new ${OUTPUT})
