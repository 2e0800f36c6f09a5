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
# Link-time optimisation: the stub's code is compiled as one program, so functions used
# once are inlined across files and what no path reaches is dropped before code is made.
# The libraries hold GCC's intermediate code only; CMake archives them with gcc-ar, which
# indexes it. The code generation options must be given to the link too, which is where
# the code is made now.
set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
add_link_options(-Os -fno-exceptions -fno-asynchronous-unwind-tables)
include_directories(${CMAKE_SOURCE_DIR})

add_subdirectory(core)
add_subdirectory(payload)
add_subdirectory(records)
add_subdirectory(system)
add_subdirectory(ui)
add_subdirectory(install)
add_subdirectory(uninstall)
add_subdirectory(tests/drivers)

# The stub's image. An .exe is the first module of its process and is loaded at its
# preferred base (Windows 9x cannot move one at all), so base relocations would never be
# applied: without them and without the address-randomisation flag that needs them, the
# image is a few kilobytes smaller. The builder appends the payload section after the
# last section, whichever that is.
target_link_options(quoxstub PRIVATE -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
# The stub's own start-up (core/StubRuntime_win.cpp) instead of mingw's. Without mingw's
# start-up nobody would apply the linker's pseudo-relocations, so automatic import of
# DLL data is refused: such a reference fails to link instead of failing at run time.
target_link_options(quoxstub PRIVATE -nostartfiles -Wl,-e,_StubStartup -Wl,--disable-auto-import)
# Four sections instead of the default script's eight or more (see the script).
target_link_options(quoxstub PRIVATE -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/stub.ld)
set_property(TARGET quoxstub APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/stub.ld)
