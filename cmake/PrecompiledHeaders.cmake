# Precompiled headers. Reading the Qt headers is most of what compiling one
# of our files costs, so the headers nearly every file includes are compiled
# once for each kind of target and reused by every target of that kind:
#   core:    Qt Core (the logic libraries, the server, the modules)
#   widgets: Qt Widgets (the windows, the program, the benchmarks)
#   tests:   Qt Widgets and GoogleTest (the test programs)
# A target gets the richest kind whose libraries it links, directly or through
# our own libraries, so a header is never forced on a target that could not
# include it itself (the logic libraries never see a widget).
#
# GCC only: clang refuses a precompiled header made with other macros on the
# command line, and every target here has some of its own. GCC instead checks
# the header against the macros it uses and falls back to reading the headers
# (-Winvalid-pch says so) where they differ.
#
# ccache caches compiles that use a precompiled header only when told that
# the header's macros and timestamps may be trusted (its "sloppiness"; set
# with the compiler launcher in the top CMakeLists.txt).

option(QUORVANT_PRECOMPILED_HEADERS "Precompile the Qt and GoogleTest headers most files include (GCC)" ON)

set(_quorvant_pch_dir "${CMAKE_CURRENT_LIST_DIR}/pch")

# _quorvant_pch_usage(target property out): the libraries whose headers the
# target may include: those it links (property LINK_LIBRARIES), and through
# our own libraries, what they pass on (INTERFACE_LINK_LIBRARIES, without
# what they pass on for linking only).
function(_quorvant_pch_usage target property out)
  get_property(known GLOBAL PROPERTY _quorvant_pch_usage_${target}_${property} SET)
  if(known)
    get_property(libs GLOBAL PROPERTY _quorvant_pch_usage_${target}_${property})
    set(${out} "${libs}" PARENT_SCOPE)
    return()
  endif()
  set_property(GLOBAL PROPERTY _quorvant_pch_usage_${target}_${property} "")
  set(libs "")
  get_target_property(direct ${target} ${property})
  if(direct)
    foreach(lib IN LISTS direct)
      if(lib MATCHES "^\\$<")
        continue()
      endif()
      list(APPEND libs "${lib}")
      if(TARGET ${lib})
        get_target_property(imported ${lib} IMPORTED)
        if(NOT imported)
          _quorvant_pch_usage(${lib} INTERFACE_LINK_LIBRARIES below)
          list(APPEND libs ${below})
        endif()
      endif()
    endforeach()
  endif()
  list(REMOVE_DUPLICATES libs)
  set_property(GLOBAL PROPERTY _quorvant_pch_usage_${target}_${property} "${libs}")
  set(${out} "${libs}" PARENT_SCOPE)
endfunction()

# _quorvant_pch_kind(target out): "tests", "widgets", "core" or "".
function(_quorvant_pch_kind target out)
  _quorvant_pch_usage(${target} LINK_LIBRARIES links)
  set(kind "")
  if("Qt6::Core" IN_LIST links)
    set(kind core)
  endif()
  if("Qt6::Widgets" IN_LIST links)
    set(kind widgets)
  endif()
  if("GTest::gtest" IN_LIST links AND kind STREQUAL "widgets")
    set(kind tests)
  endif()
  set(${out} "${kind}" PARENT_SCOPE)
endfunction()

function(_quorvant_targets_below dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _quorvant_targets_below("${sub}" below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# quorvant_precompile_headers(): call once, after every target is defined.
function(quorvant_precompile_headers)
  if(NOT QUORVANT_PRECOMPILED_HEADERS OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  # One small library makes each kind's precompiled header, with the warning
  # options of every other target: -Wpedantic changes what GCC predefines.
  set(owner_core quorvant_pch_core)
  set(owner_widgets quorvant_pch_widgets)
  set(owner_tests quorvant_pch_tests)
  add_library(quorvant_pch_core STATIC "${_quorvant_pch_dir}/pch.cpp")
  target_link_libraries(quorvant_pch_core PRIVATE Qt6::Core quorvant_warnings)
  target_precompile_headers(quorvant_pch_core PRIVATE "${_quorvant_pch_dir}/core.h")
  add_library(quorvant_pch_widgets STATIC "${_quorvant_pch_dir}/pch.cpp")
  target_link_libraries(quorvant_pch_widgets PRIVATE Qt6::Widgets quorvant_warnings)
  target_precompile_headers(quorvant_pch_widgets PRIVATE "${_quorvant_pch_dir}/widgets.h")
  set(kinds core widgets)
  if(TARGET GTest::gtest)
    add_library(quorvant_pch_tests STATIC "${_quorvant_pch_dir}/pch.cpp")
    target_link_libraries(quorvant_pch_tests PRIVATE Qt6::Widgets GTest::gtest quorvant_warnings)
    target_precompile_headers(quorvant_pch_tests PRIVATE "${_quorvant_pch_dir}/tests.h")
    list(APPEND kinds tests)
  endif()
  foreach(kind IN LISTS kinds)
    set_target_properties(${owner_${kind}} PROPERTIES EXCLUDE_FROM_ALL ON UNITY_BUILD OFF)
  endforeach()

  _quorvant_targets_below("${CMAKE_SOURCE_DIR}" targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$"
       OR target MATCHES "^quorvant_pch_")
      continue()
    endif()
    # Targets that set their own visibility or language standard (the
    # plug-ins' C interface) are compiled with other options.
    get_target_property(visibility ${target} CXX_VISIBILITY_PRESET)
    get_target_property(standard ${target} CXX_STANDARD)
    if(visibility OR (standard AND NOT standard EQUAL 20))
      continue()
    endif()
    _quorvant_pch_kind(${target} kind)
    if(kind AND kind IN_LIST kinds)
      target_precompile_headers(${target} REUSE_FROM ${owner_${kind}})
    endif()
  endforeach()
endfunction()
