# Runs TOOL with ARGS (arguments separated by "|") and succeeds only when it exits
# with EXIT and its output matches MESSAGE (a regular expression): a refusal is both.
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${TOOL} ${ARGS} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL EXIT)
  message(FATAL_ERROR "exit code ${result}, not ${EXIT}:\n${output}")
endif()
if(NOT output MATCHES "${MESSAGE}")
  message(FATAL_ERROR "the message does not match \"${MESSAGE}\":\n${output}")
endif()
