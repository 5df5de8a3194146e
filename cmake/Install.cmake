# `cmake --install build --prefix DIR` gives a tree that runs from anywhere:
#
#   DIR/bin/            ctb11000-server ctb-demo ctb-drive ctb-host
#   DIR/lib/ctb11000/   the shared libraries, the module libctb11000.so and
#                       reports/ (the report definitions, found beside the
#                       libraries)
#
# Every path between them is relative ($ORIGIN), so the tree may be moved or
# copied to another machine with the same Debian packages. The schema is
# compiled into the store library; nothing is read from the source tree.
set(CTB_INSTALL_LIBDIR lib/ctb11000)

set(_ctb_libraries ctb_data ctb_db ctb_net ctb_ui ctb_report ctb_ledger ctb_contracts ctb_store ctb11000)
set(_ctb_programs ctb11000-server ctb-demo ctb-drive ctb-host)

foreach(_t ${_ctb_libraries})
  if(TARGET ${_t})
    get_target_property(_type ${_t} TYPE)
    if(_type STREQUAL "SHARED_LIBRARY")
      set_target_properties(${_t} PROPERTIES INSTALL_RPATH "$ORIGIN")
      install(TARGETS ${_t} LIBRARY DESTINATION ${CTB_INSTALL_LIBDIR})
    endif()
  endif()
endforeach()

foreach(_t ${_ctb_programs})
  if(TARGET ${_t})
    set_target_properties(${_t} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CTB_INSTALL_LIBDIR}")
    install(TARGETS ${_t} RUNTIME DESTINATION bin)
  endif()
endforeach()

file(GLOB _ctb_report_defs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/reports/*.toml)
install(FILES ${_ctb_report_defs} DESTINATION ${CTB_INSTALL_LIBDIR}/reports)
