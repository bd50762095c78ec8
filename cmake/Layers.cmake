# The layers of src/, top to bottom. Code of a folder uses (includes, links)
# only folders of lower layers; folders of one layer never use each other.
set(UNINSTALL_LAYERS
  "control"
  "wizard"
  "removal"
  "localization registry diagnostics"
  "common resources")

# The layer's number of `folder` (0 at the top), -1 for a folder not listed.
function(uninstall_layer_of folder out)
  set(number 0)
  foreach(layer IN LISTS UNINSTALL_LAYERS)
    string(REPLACE " " ";" members "${layer}")
    if(folder IN_LIST members)
      set(${out} ${number} PARENT_SCOPE)
      return()
    endif()
    math(EXPR number "${number} + 1")
  endforeach()
  set(${out} -1 PARENT_SCOPE)
endfunction()

# Whether code of folder `from` may use folder `to`: itself, or a lower layer.
function(uninstall_may_use from to out)
  uninstall_layer_of(${from} fromLayer)
  uninstall_layer_of(${to} toLayer)
  if(from STREQUAL to AND NOT fromLayer EQUAL -1)
    set(${out} TRUE PARENT_SCOPE)
  elseif(fromLayer EQUAL -1 OR toLayer EQUAL -1)
    set(${out} FALSE PARENT_SCOPE)
  elseif(toLayer GREATER fromLayer)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Checks the product's libraries, named <folder>_<part>: within a folder the
# parts link downwards in the order startup, win32, core; across folders only
# down the layers. A configure error names every link that runs up or sideways,
# so the libraries can never link in a cycle.
function(uninstall_check_library_layers)
  set(parts startup win32 core)
  set(problems "")
  foreach(library IN LISTS ARGN)
    string(REGEX MATCH "^([a-z]+)_([a-z0-9]+)$" matched "${library}")
    set(folder ${CMAKE_MATCH_1})
    list(FIND parts "${CMAKE_MATCH_2}" part)
    get_target_property(dependencies ${library} LINK_LIBRARIES)
    foreach(dependency IN LISTS dependencies)
      if(NOT dependency IN_LIST ARGN)
        continue()  # a system library
      endif()
      string(REGEX MATCH "^([a-z]+)_([a-z0-9]+)$" matched "${dependency}")
      list(FIND parts "${CMAKE_MATCH_2}" dependencyPart)
      if(CMAKE_MATCH_1 STREQUAL folder)
        set(allowed FALSE)
        if(dependencyPart GREATER part)
          set(allowed TRUE)
        endif()
      else()
        uninstall_may_use(${folder} ${CMAKE_MATCH_1} allowed)
      endif()
      if(NOT allowed)
        list(APPEND problems "${library} -> ${dependency}")
      endif()
    endforeach()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Libraries linking up or sideways through the layers:\n  ${text}")
  endif()
endfunction()
