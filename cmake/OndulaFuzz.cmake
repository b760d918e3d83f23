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
  set_target_properties(${target} PROPERTIES ONDULA_CORPUS_FOLDER ${C_FOLDER})
endfunction()

# ondula_add_fuzz_target(<name> SOURCE <file> LIBS <targets...>
#                        CORPUS <dir> | MADE_CORPUS <target>)
# The source defines LLVMFuzzerTestOneInput. With ONDULA_FUZZ the target is a
# libFuzzer binary; otherwise it is linked with a driver that replays every file
# of the corpus folder, and that replay is a ctest. The corpus is a folder of the
# sources, or the one a target of ondula_add_made_corpus makes before the fuzz target.
function(ondula_add_fuzz_target name)
  cmake_parse_arguments(F "" "SOURCE;CORPUS;MADE_CORPUS" "LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCE})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  if(F_MADE_CORPUS)
    get_target_property(F_CORPUS ${F_MADE_CORPUS} ONDULA_CORPUS_FOLDER)
    add_dependencies(${name} ${F_MADE_CORPUS})
  endif()
  if(ONDULA_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/fuzz_replay_main.cpp)
    add_test(NAME ${name}.corpus COMMAND ${name} ${F_CORPUS})
    # A corpus folder that is missing or holds nothing fails the replay.
    set(empty ${CMAKE_CURRENT_BINARY_DIR}/${name}.empty_corpus)
    file(MAKE_DIRECTORY ${empty})
    add_test(NAME ${name}.missing_corpus COMMAND ${name} ${empty}/missing)
    add_test(NAME ${name}.empty_corpus COMMAND ${name} ${empty})
    set_tests_properties(${name}.missing_corpus ${name}.empty_corpus PROPERTIES
                         PASS_REGULAR_EXPRESSION "^no input in corpus ")
  endif()
endfunction()
