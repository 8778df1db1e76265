# A numbered sequence of three equal frames, rendered by TOOL on three threads at
# once into DIR: three equal results, and the source frames as they were.
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
execute_process(COMMAND ${TOOL} --quiet --depth 16 --width 40 --height 30 -o ${DIR}/frame.png RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the tool could not render the frame: ${result}")
endif()
foreach(n 1 2 3)
  file(COPY_FILE ${DIR}/frame.png ${DIR}/seq_000${n}.png)
endforeach()
execute_process(COMMAND ${TOOL} --quiet --threads 3 --set "Direction=Right" "${DIR}/seq_####.png"
                        -o "${DIR}/melted_####.exr" RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the sequence did not render: ${result} ${error}")
endif()
foreach(n 2 3)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${DIR}/melted_0001.exr ${DIR}/melted_000${n}.exr
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "frame ${n} differs from frame 1")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${DIR}/frame.png ${DIR}/seq_000${n}.png
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "source frame ${n} changed")
  endif()
endforeach()
