# Tests: every test program is one ctest entry run through Wine, in a prefix under the build folder.
enable_testing()

set(TARN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix the tests run in")
set(TARN_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
# The runtime DLL names travel comma-separated: a semicolon would split the environment list.
string(REPLACE ";" "," TARN_RUNTIME_DLL_NAMES "${TARN_RUNTIME_DLLS}")
set(TARN_TEST_ENV
    WINEPREFIX=${TARN_WINEPREFIX}
    WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml=
    TARN_BIN=${TARN_BIN_DIR}
    TARN_SOURCE=${CMAKE_SOURCE_DIR}
    TARN_WINE_RUN=${TARN_WINE_RUN}
    TARN_ARCH=${TARN_ARCH}
    TARN_RUNTIME_DLLS=${TARN_RUNTIME_DLL_NAMES})

# GoogleTest from the Debian sources, cross-built with the project.
set(TARN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main gmock gmock_main)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE -w)
  endif()
endforeach()

# tarn_add_gtest(<name> SOURCES ... [LIBS ...] [ARGS ...] [TIMEOUT s])
function(tarn_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock gtest_main)
  add_test(NAME ${name} COMMAND ${TARN_WINE_RUN} $<TARGET_FILE:${name}> ${ARG_ARGS}
           WORKING_DIRECTORY ${TARN_BIN_DIR})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${TARN_TEST_ENV}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# tarn_add_pytest(<name> SCRIPT <file.py> [ARGS ...] [DEPENDS targets...])
# Independent checks in Python; they find the build output through $TARN_BIN and run Windows
# programs through $TARN_WINE_RUN.
function(tarn_add_pytest name)
  cmake_parse_arguments(ARG "" "SCRIPT;TIMEOUT" "ARGS;DEPENDS" ${ARGN})
  get_filename_component(script ${ARG_SCRIPT} ABSOLUTE)
  add_test(NAME ${name} COMMAND /usr/bin/python3 ${script} ${ARG_ARGS} WORKING_DIRECTORY ${TARN_BIN_DIR})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${TARN_TEST_ENV}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# tarn_use_audio_device(<test>): the test runs with a wave device of its own that plays into a silent
# sink and keeps what was played in $TARN_AUDIO_CAPTURE (one capture file per test process). Wine
# takes it through its ALSA driver, which scripts/test.sh selects in the prefix.
function(tarn_use_audio_device test)
  set(TARN_AUDIO_CAPTURE ${CMAKE_BINARY_DIR}/audio/${test}.wav)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/asound-capture.conf.in ${CMAKE_BINARY_DIR}/audio/${test}.conf @ONLY)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
               ALSA_CONFIG_PATH=${CMAKE_BINARY_DIR}/audio/${test}.conf TARN_AUDIO_CAPTURE=${TARN_AUDIO_CAPTURE})
endfunction()
