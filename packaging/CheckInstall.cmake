# Installs the build tree BUILD_DIR under a fresh PREFIX and checks that every file a user
# needs arrived: cmake -DBUILD_DIR=.. -DPREFIX=.. -DEXPECTED="a;b" -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()
foreach(relative IN LISTS EXPECTED)
  if(NOT EXISTS "${PREFIX}/${relative}")
    message(FATAL_ERROR "not installed: ${relative}\n${output}")
  endif()
endforeach()
# The programs stay runnable where they were put.
foreach(relative IN LISTS PROGRAMS)
  execute_process(COMMAND "${PREFIX}/${relative}" --help RESULT_VARIABLE result
                  OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${relative} --help failed after install (${result})")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
