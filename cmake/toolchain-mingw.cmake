# Cross-compiles Windows programs with mingw-w64 (posix thread model).
# TARN_ARCH picks the processor: x86_64 (64-bit Windows, the default) or i686 (32-bit Windows).
# The first configure takes it from the environment; the build folder keeps it in its cache.
if(NOT TARN_ARCH)
  if(DEFINED ENV{TARN_ARCH} AND NOT "$ENV{TARN_ARCH}" STREQUAL "")
    set(TARN_ARCH "$ENV{TARN_ARCH}")
  else()
    set(TARN_ARCH x86_64)
  endif()
endif()
if(NOT TARN_ARCH MATCHES "^(x86_64|i686)$")
  message(FATAL_ERROR "TARN_ARCH must be x86_64 or i686, not '${TARN_ARCH}'")
endif()
set(TARN_ARCH ${TARN_ARCH} CACHE STRING "Windows processor: x86_64 or i686")
# Test builds made by CMake's checks see the same processor.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARN_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARN_ARCH})

set(TOOL_PREFIX ${TARN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOL_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOL_PREFIX}-windres)
set(CMAKE_AR ${TOOL_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TOOL_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
