# The core libraries, one per folder under src/, lowest first. Each may use only the folders
# it names (and what those use in turn): the link dependencies say it, and a check run at
# every build stops it on an include that reaches a folder it may not use, or on any Qt
# include (Qt is for the GUI libraries only).
#
#   platform <- support <- serial <- link <- simulator / transmitter / query
#   pcm on simulator; editor on simulator, transmitter, query, pcm; app on editor;
#   unit (the virtual QM-48) on link, simulator, pcm. cli and the GUI sit on top of all.
set(QM48_LAYERS platform support serial link simulator transmitter query pcm editor app unit)
set(QM48_USES_platform "")
set(QM48_USES_support platform)
set(QM48_USES_serial support)
set(QM48_USES_link serial)
set(QM48_USES_simulator link)
set(QM48_USES_transmitter link)
set(QM48_USES_query link)
set(QM48_USES_pcm simulator)
set(QM48_USES_editor simulator transmitter query pcm)
set(QM48_USES_app editor)
set(QM48_USES_unit link simulator pcm)

# Every folder a layer may reach: its own uses and theirs, transitively.
function(qm48_reachable layer out)
  set(result "")
  set(todo ${QM48_USES_${layer}})
  while(todo)
    list(POP_FRONT todo next)
    if(NOT next IN_LIST result)
      list(APPEND result ${next})
      list(APPEND todo ${QM48_USES_${next}})
    endif()
  endwhile()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

set(QM48_CORE_SOURCES "")
set(QM48_CORE_LIBRARIES "")
foreach(layer IN LISTS QM48_LAYERS)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${layer}/*.cpp
       ${CMAKE_SOURCE_DIR}/src/${layer}/*.h)
  list(FILTER sources EXCLUDE REGEX "/src/${layer}/gui/")
  set(uses "")
  foreach(used IN LISTS QM48_USES_${layer})
    if(TARGET qm48_${used})
      list(APPEND uses qm48_${used})
    endif()
  endforeach()
  if(NOT sources)
    continue()
  endif()
  list(APPEND QM48_CORE_SOURCES ${sources})
  add_library(qm48_${layer} STATIC ${sources})
  target_include_directories(qm48_${layer} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(qm48_${layer} PUBLIC ${uses} Threads::Threads)
  list(APPEND QM48_CORE_LIBRARIES qm48_${layer})

  qm48_reachable(${layer} reachable)
  add_custom_target(qm48_${layer}_layering
    COMMAND ${CMAKE_COMMAND} "-DLAYER=${layer}" "-DALLOWED=${reachable}" "-DFOLDERS=${QM48_LAYERS};cli"
            "-DSOURCES=${sources}" -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayering.cmake
    COMMENT "Checking the includes of src/${layer}"
    VERBATIM)
  add_dependencies(qm48_${layer} qm48_${layer}_layering)
endforeach()

# Everything the core offers, for the programs, the tests and the benchmarks.
add_library(qm48core INTERFACE)
target_link_libraries(qm48core INTERFACE ${QM48_CORE_LIBRARIES})
