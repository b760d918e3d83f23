# fg_add_plugin(<Interface> SOURCES <files...> [LIBS <targets...>] [TEST_ONLY]
#               [PARALLEL] [TARGET <name>] [FOLDER <folder>] [EXPORTS <list file>])
# Builds the plug-in VFG<Interface>.so beside the programs, where the host
# looks for it after the folders of ONDULA_PLUGIN_PATH, and installs it beside
# the installed program. A TEST_ONLY plug-in is installed only with the
# component "test", which the install test asks for. A plug-in that stands in
# for another of the same interface gets its own TARGET name (VFG<Interface>
# by default) and FOLDER beside the programs, which the host is pointed to.
# PARALLEL also builds its twin parVFG<Interface>.so from the same sources
# against the parallel edition of the imaging library, whose host loads it.
# Each edition compiles with FG_PARALLEL_EDITION 0 or 1.
# A plug-in exports FGInit alone (plugin.exports) unless EXPORTS names its list.
function(fg_add_plugin interface)
  cmake_parse_arguments(P "TEST_ONLY;PARALLEL" "TARGET;FOLDER;EXPORTS" "SOURCES;LIBS" ${ARGN})
  if(NOT P_TARGET)
    set(P_TARGET VFG${interface})
  endif()
  if(NOT P_EXPORTS)
    set(P_EXPORTS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/plugin.exports)
  endif()
  set(component)
  if(P_TEST_ONLY)
    set(component COMPONENT test EXCLUDE_FROM_ALL)
  endif()
  set(editions "${P_TARGET}:VFG:verodyn:0")
  if(P_PARALLEL)
    list(APPEND editions "parVFG${interface}:parVFG:parverodyn:1")
  endif()
  foreach(edition IN LISTS editions)
    string(REPLACE ":" ";" parts ${edition})
    list(GET parts 0 target)
    list(GET parts 1 prefix)
    list(GET parts 2 library)
    list(GET parts 3 parallel)
    add_library(${target} MODULE ${P_SOURCES})
    target_link_libraries(${target} PRIVATE ${library} fgint_kit ${P_LIBS})
    target_compile_definitions(${target} PRIVATE FG_PARALLEL_EDITION=${parallel})
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${prefix}${interface}
                                               INSTALL_RPATH "${ONDULA_BIN_RPATH}")
    ondula_exports(${target} ${P_EXPORTS})
    set(destination ${CMAKE_INSTALL_BINDIR})
    if(P_FOLDER)
      set(destination ${CMAKE_INSTALL_BINDIR}/${P_FOLDER})
      set_target_properties(${target} PROPERTIES
          LIBRARY_OUTPUT_DIRECTORY ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/${P_FOLDER}
          BUILD_RPATH "$ORIGIN/.." INSTALL_RPATH "$ORIGIN/../${ONDULA_BIN_TO_LIB}")
    endif()
    install(TARGETS ${target} LIBRARY DESTINATION ${destination} ${component})
  endforeach()
endfunction()
