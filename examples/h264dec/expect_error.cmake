# Decodes IN with DEC and requires a clean refusal: exit status 1 (not a
# signal), a message on stderr, containing EXPECT when given.
execute_process(COMMAND ${DEC} ${IN} --framemd5 OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc STREQUAL "1")
  message(FATAL_ERROR "expected exit status 1, got '${rc}': ${err}")
endif()
if(NOT err MATCHES "^zanvc-h264dec: ")
  message(FATAL_ERROR "no error message on stderr: '${err}'")
endif()
if(DEFINED EXPECT AND NOT err MATCHES "${EXPECT}")
  message(FATAL_ERROR "message does not mention ${EXPECT}: ${err}")
endif()
