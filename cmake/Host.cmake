if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
set(QUOX_PLATFORM posix)
option(QUOX_SANITIZE "Build the host code with AddressSanitizer and UBSan" OFF)
option(QUOX_FUZZ "Build libFuzzer targets (needs clang)" OFF)
option(QUOX_WINDOWS "Cross-build the stub and run the Wine tests" ON)
add_compile_options(-Wall -Wextra)
if(QUOX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(QUOX_FUZZ)
  # The libraries under test carry the fuzzer's coverage instrumentation as well;
  # without it libFuzzer sees only the target's own file and mutates blindly.
  add_compile_options(-fsanitize=fuzzer-no-link,address)
  add_link_options(-fsanitize=address)
endif()
include_directories(${CMAKE_SOURCE_DIR})

set(QUOX_WINDOWS_BUILD ${CMAKE_BINARY_DIR}/windows)
enable_testing()
add_subdirectory(core)
add_subdirectory(payload)
add_subdirectory(records)
add_subdirectory(builder)
add_subdirectory(tests)
# The codec benchmark compares with zlib and LZ4, so it is built only where both are.
find_package(ZLIB QUIET)
find_library(QUOX_LZ4_LIBRARY lz4)
find_path(QUOX_LZ4_INCLUDE_DIR lz4hc.h)
if(ZLIB_FOUND AND QUOX_LZ4_LIBRARY AND QUOX_LZ4_INCLUDE_DIR)
  add_subdirectory(bench/codec)
endif()
add_subdirectory(bench/text)

if(QUOX_WINDOWS)
  include(ExternalProject)
  ExternalProject_Add(windows
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${QUOX_WINDOWS_BUILD}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
endif()
