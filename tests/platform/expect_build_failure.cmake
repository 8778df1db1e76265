# Builds TARGET in BUILD_DIR and succeeds only when the build fails with EXPECT in
# its output: a check that must catch a changed value.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "${TARGET} built; the changed value ${EXPECT} went unnoticed")
endif()
string(FIND "${output}" "${EXPECT}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "${TARGET} failed, but not on ${EXPECT}:\n${output}")
endif()
