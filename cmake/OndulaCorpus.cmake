# ondula_add_made_corpus(<target> FOLDER <dir> MAKER <program> SOURCE <file> LIBS <targets...>
#                        COMMENT <text>)
# A fuzz corpus made at build time, so that no binary file is kept in the
# sources: <program>, built from <file>, writes it into <dir> afresh whenever
# the program changes. <target> stands for the made folder.
function(ondula_add_made_corpus target)
  cmake_parse_arguments(C "" "FOLDER;MAKER;SOURCE;COMMENT" "LIBS" ${ARGN})
  add_executable(${C_MAKER} ${C_SOURCE})
  target_link_libraries(${C_MAKER} PRIVATE ${C_LIBS})
  add_custom_command(OUTPUT ${C_FOLDER}/.made
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${C_FOLDER}
    COMMAND ${C_MAKER} ${C_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E touch ${C_FOLDER}/.made
    DEPENDS ${C_MAKER}
    COMMENT "${C_COMMENT}")
  add_custom_target(${target} ALL DEPENDS ${C_FOLDER}/.made)
endfunction()
