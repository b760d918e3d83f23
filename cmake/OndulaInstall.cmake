# Where `cmake --install` puts things: the program in bin/ with the frame-grabber
# plug-ins beside it (the host looks for them beside the program), the shared
# libraries in lib/. Each finds its libraries through a run path relative to
# its own folder, so an installed tree works wherever it is put.
include(GNUInstallDirs)
file(RELATIVE_PATH ONDULA_BIN_TO_LIB /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set(CMAKE_INSTALL_RPATH "$ORIGIN")
set(ONDULA_BIN_RPATH "$ORIGIN/${ONDULA_BIN_TO_LIB}")

# ondula_install_program(<targets...>): programs, into bin/.
function(ondula_install_program)
  set_target_properties(${ARGN} PROPERTIES INSTALL_RPATH "${ONDULA_BIN_RPATH}")
  install(TARGETS ${ARGN} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# ondula_install_libraries(<targets...>): shared libraries and modules loaded
# from the libraries' folder, into lib/.
function(ondula_install_libraries)
  install(TARGETS ${ARGN} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()
