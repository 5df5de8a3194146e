# Each layer is a room: a target sees the folders of the rooms it links and
# nothing else, so a header included from a layer above does not build.
#
# A room is a folder of the build tree holding symbolic links to the source
# folders its target publishes, under their source paths, so that every
# include keeps its one spelling ("platform/data/dataset.h") wherever it is
# made. There is no include path to the source root.

# ctb_room(TARGET folder...): TARGET publishes these folders to what links it
# (to itself only, for executables).
function(ctb_room target)
  set(_room ${CMAKE_BINARY_DIR}/rooms/${target})
  foreach(_dir ${ARGN})
    get_filename_component(_parent ${_room}/${_dir} DIRECTORY)
    file(MAKE_DIRECTORY ${_parent})
    if(NOT EXISTS ${_room}/${_dir})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${_dir} ${_room}/${_dir} SYMBOLIC)
    endif()
  endforeach()
  get_target_property(_type ${target} TYPE)
  if(_type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${_room})
  elseif(_type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${_room})
  else()
    target_include_directories(${target} PUBLIC ${_room})
  endif()
endfunction()
