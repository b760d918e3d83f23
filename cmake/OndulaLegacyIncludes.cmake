# ondula_legacy_include_dirs(<target> <folders...>)
# The folders still naming files of other folders by bare name (workbench/,
# grabbers/) find them through the folders the providing library used to put on
# its users' include path. Only its users see them: the library itself and the
# folders that name files from the repository root do without.
function(ondula_legacy_include_dirs target)
  target_include_directories(${target} INTERFACE ${ARGN})
endfunction()
