# Runs the hash listing (through EMULATOR when one is given) and compares it with
# EXPECTED line for line; a listing that differs is written next to the build's
# test files, for diff.
#   cmake -DTOOL=... [-DEMULATOR=...] -DEXPECTED=... -DACTUAL=... -P expect_listing.cmake
execute_process(COMMAND ${EMULATOR} ${TOOL} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed: ${result}")
endif()
string(REPLACE "\r" "" listing "${listing}")
file(READ ${EXPECTED} expected)
if(NOT listing STREQUAL expected)
  file(WRITE ${ACTUAL} "${listing}")
  message(FATAL_ERROR "the hash listing differs from ${EXPECTED}: see diff ${EXPECTED} ${ACTUAL}")
endif()
