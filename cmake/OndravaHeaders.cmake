# Which headers a target offers. Every target names the headers it offers to the
# targets that link it; those, and nothing else of the tree, become reachable to
# them under their path from the project root (e.g. "host/params/param_map.h"),
# through a folder of links the build keeps for the target. So a file can include
# only what its own target and the targets it links offer.

# ondrava_offer_headers(<target> [PRIVATE] <header>...): headers from the current
# source folder. PRIVATE ones reach the target's own sources only. Called once a
# target and scope.
function(ondrava_offer_headers target)
  set(scope PUBLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL INTERFACE_LIBRARY)
    set(scope INTERFACE)
  endif()
  set(root ${CMAKE_BINARY_DIR}/offered/${target})
  if(ARGV1 STREQUAL PRIVATE)
    set(scope PRIVATE)
    set(root ${CMAKE_BINARY_DIR}/offered/${target}.private)
    list(REMOVE_AT ARGN 0)
  endif()
  file(REMOVE_RECURSE ${root})  # headers no longer offered are no longer reachable
  foreach(header IN LISTS ARGN)
    file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/${header})
    get_filename_component(folder ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
