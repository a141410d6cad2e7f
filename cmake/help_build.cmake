# Builds one help file (called by kanopa_add_help): stage the sources, convert the
# project, the contents and the pages to CP932, compile, copy the result out.
file(REMOVE_RECURSE ${STAGE_DIR})
file(COPY ${SOURCE_DIR}/ DESTINATION ${STAGE_DIR})
# Both help files share one stylesheet, so that they look alike.
file(COPY ${SHARED_STYLE} DESTINATION ${STAGE_DIR})

file(GLOB_RECURSE texts ${STAGE_DIR}/*.hhp ${STAGE_DIR}/*.hhc ${STAGE_DIR}/*.html)
foreach(text IN LISTS texts)
  if(text MATCHES "\\.html$")
    # The page says what it is written in; after the conversion that is Shift_JIS.
    file(READ ${text} page)
    string(REGEX REPLACE "charset=([\"']?)[Uu][Tt][Ff]-8" "charset=\\1Shift_JIS" page "${page}")
    file(WRITE ${text} "${page}")
  endif()
  execute_process(COMMAND ${ICONV} -f UTF-8 -t CP932 ${text}
    OUTPUT_FILE ${text}.cp932 RESULT_VARIABLE failed ERROR_VARIABLE why)
  if(failed)
    # A character CP932 cannot hold would turn into garbage in the help viewer.
    message(FATAL_ERROR "${text}: not convertible to CP932: ${why}")
  endif()
  file(RENAME ${text}.cp932 ${text})
endforeach()

execute_process(COMMAND ${CHMCMD} ${NAME}.hhp WORKING_DIRECTORY ${STAGE_DIR}
  RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(failed OR NOT EXISTS ${STAGE_DIR}/${NAME}.chm)
  message(FATAL_ERROR "chmcmd failed for ${NAME}.hhp:\n${log}")
endif()
# The compiler only warns about a link or a picture that is not there; a help file
# with a broken link is not shipped.
if(log MATCHES "couldn't find|Error")
  message(FATAL_ERROR "${NAME} help has broken references:\n${log}")
endif()
file(COPY_FILE ${STAGE_DIR}/${NAME}.chm ${OUTPUT})
