# The files the refusal tests must leave as they are, made afresh in DIR: a picture
# rendered by TOOL, an existing output, a two-frame sequence and a file that only
# looks like an image by its name.
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
execute_process(COMMAND ${TOOL} --quiet --width 24 --height 16 -o ${DIR}/photo.png RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the tool could not render the picture: ${result}")
endif()
execute_process(COMMAND ${TOOL} --quiet --width 16 --height 24 -o ${DIR}/existing.png RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the tool could not render the existing output: ${result}")
endif()
file(COPY_FILE ${DIR}/photo.png ${DIR}/seq_0001.png)
file(COPY_FILE ${DIR}/existing.png ${DIR}/seq_0002.png)
file(WRITE ${DIR}/not_an_image.png "not a picture at all")
