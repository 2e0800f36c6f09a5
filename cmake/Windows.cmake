# The stub is a product: small, static, GUI subsystem, no exceptions, no iostreams.
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE MinSizeRel)
endif()
set(QUOX_PLATFORM win)
add_compile_options(-Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-threadsafe-statics
                    -ffunction-sections -fdata-sections -Wall -Wextra
                    # msvcrt's own printf: smaller than mingw's, and what a Windows C library does.
                    -D__USE_MINGW_ANSI_STDIO=0 -DWIN32_LEAN_AND_MEAN -DWINVER=0x0400 -D_WIN32_WINNT=0x0400)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -s)
include_directories(${CMAKE_SOURCE_DIR})

add_subdirectory(core)
add_subdirectory(payload)
add_subdirectory(records)
add_subdirectory(system)
add_subdirectory(ui)
add_subdirectory(install)
add_subdirectory(uninstall)
add_subdirectory(tests/drivers)
