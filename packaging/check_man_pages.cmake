# The manual pages made at build time, read by man with its warnings on: any
# warning fails. The bash completion made beside them must be valid bash and
# complete --mode with the modes.
# cmake -DMAN_DIR=... -P check_man_pages.cmake
foreach(page geoplait-cli.1 geoplait.1)
  if(NOT EXISTS "${MAN_DIR}/${page}")
    message(FATAL_ERROR "not made: ${page}")
  endif()
  execute_process(COMMAND man --warnings -l "${MAN_DIR}/${page}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "" OR NOT text MATCHES "SEE ALSO")
    message(FATAL_ERROR "man --warnings -l ${page}: status ${status}\n${warnings}")
  endif()
endforeach()
execute_process(COMMAND bash -c "source '${MAN_DIR}/geoplait-cli.bash'; COMP_WORDS=(geoplait-cli --mode Nmea2); COMP_CWORD=2; _geoplait_cli; echo \"\${COMPREPLY[*]}\""
                RESULT_VARIABLE status OUTPUT_VARIABLE modes ERROR_VARIABLE problems)
if(NOT status EQUAL 0 OR NOT problems STREQUAL "" OR NOT modes STREQUAL "Nmea2Pot Nmea2Gpx Nmea2CsvFull Nmea2CsvCustom Nmea2Nmea Nmea2Summary Nmea2SummaryHtml Nmea2GeoJson\n")
  message(FATAL_ERROR "bash completion of --mode Nmea2: status ${status}, \"${modes}\"\n${problems}")
endif()
