# Fails when any core source includes a Qt header.
separate_arguments(files UNIX_COMMAND "${SOURCES}")
foreach(f IN LISTS files)
  file(STRINGS "${f}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt6?/|qglobal|qobject)")
  if(hits)
    message(FATAL_ERROR "Qt header included in qm48core: ${f}: ${hits}")
  endif()
endforeach()
