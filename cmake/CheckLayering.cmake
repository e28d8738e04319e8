cmake_minimum_required(VERSION 3.25)
# Fails when a source of LAYER includes a header of a folder it may not use (any of FOLDERS
# not in ALLOWED and not LAYER itself), or any Qt header.
foreach(f IN LISTS SOURCES)
  file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    if(line MATCHES "[<\"](Q[A-Za-z]|qt6?/|qglobal|qobject)")
      message(FATAL_ERROR "${f}: Qt is for the GUI libraries only: ${line}")
    endif()
    if(line MATCHES "\"([a-z]+)/")
      set(folder ${CMAKE_MATCH_1})
      if(folder IN_LIST FOLDERS AND NOT folder STREQUAL LAYER AND NOT folder IN_LIST ALLOWED)
        message(FATAL_ERROR "${f}: src/${LAYER} may not use src/${folder}: ${line}\n"
                            "src/${LAYER} may use: ${ALLOWED}")
      endif()
    endif()
  endforeach()
endforeach()
