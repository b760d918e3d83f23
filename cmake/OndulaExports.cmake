# ondula_exports(<target> <list file>)
# What a shared library or module may export: one name a line (demangled,
# without parameters; `#` starts a comment). The exports test holds the built
# file to its list; every shared library and module outside tests/ has one.
function(ondula_exports target list)
  get_filename_component(list ${list} ABSOLUTE)
  set_target_properties(${target} PROPERTIES ONDULA_EXPORTS ${list})
endfunction()
