# Help files. The sources stay UTF-8 in the repository; the help compiler reads the
# project and the contents as CP932 and the keyword index as UTF-8, so the project,
# the contents and the pages (whose titles it copies) are converted at build time.
#
#   kanopa_add_help(NAME Kanopa SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/help)
#
# SOURCE_DIR holds <NAME>.hhp, its contents (.hhc), its index (.hhk), the pages and
# whatever they show; the stylesheet both share is common/help/style.css. <NAME>.chm lands beside the programs; target <NAME>_help.
# The pictures come from make screenshots through scripts/help-images.sh.
find_program(KANOPA_CHMCMD chmcmd)
find_program(KANOPA_CHMLS chmls)
find_program(KANOPA_ICONV iconv)

function(kanopa_add_help)
  cmake_parse_arguments(ARG "" "NAME;SOURCE_DIR" "" ${ARGN})
  if(NOT ARG_NAME OR NOT ARG_SOURCE_DIR)
    message(FATAL_ERROR "kanopa_add_help needs NAME and SOURCE_DIR")
  endif()
  if(NOT KANOPA_CHMCMD OR NOT KANOPA_ICONV)
    message(WARNING "chmcmd or iconv missing (make setup installs them): ${ARG_NAME}.chm is not built")
    return()
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${ARG_SOURCE_DIR}/*)
  set(style ${PROJECT_SOURCE_DIR}/common/help/style.css)
  set(output ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${ARG_NAME}.chm)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND}
      -DNAME=${ARG_NAME} -DSOURCE_DIR=${ARG_SOURCE_DIR}
      -DSTAGE_DIR=${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}-help -DOUTPUT=${output}
      -DCHMCMD=${KANOPA_CHMCMD} -DICONV=${KANOPA_ICONV} -DSHARED_STYLE=${style}
      -P ${PROJECT_SOURCE_DIR}/cmake/help_build.cmake
    DEPENDS ${sources} ${style} ${PROJECT_SOURCE_DIR}/cmake/help_build.cmake
    COMMENT "Compiling ${ARG_NAME}.chm"
    VERBATIM)
  add_custom_target(${ARG_NAME}_help ALL DEPENDS ${output})

  # Every page the contents name is in the file, and every page of the sources is in
  # the contents (a page left out of it can only be reached by chance).
  if(KANOPA_TESTS AND KANOPA_CHMLS)
    add_test(NAME ${ARG_NAME}_help_contents
      COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-help.sh ${output} ${ARG_SOURCE_DIR})
    set_tests_properties(${ARG_NAME}_help_contents PROPERTIES LABELS native)
  endif()
endfunction()
