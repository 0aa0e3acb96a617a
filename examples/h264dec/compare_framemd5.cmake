# Decodes IN with DEC --framemd5 and compares the frame lines (those not
# starting with '#') with the reference REF.
execute_process(COMMAND ${DEC} ${IN} --framemd5 OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "decoder failed (${rc}): ${err}")
endif()
file(READ ${REF} ref)
string(REGEX REPLACE "#[^\n]*\n" "" out "${out}")
string(REGEX REPLACE "#[^\n]*\n" "" ref "${ref}")
if(NOT out STREQUAL ref)
  message(FATAL_ERROR "frame MD5s differ from ${REF}:\n--- decoded\n${out}--- reference\n${ref}")
endif()
