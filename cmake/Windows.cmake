# The stub is a product: small, static, GUI subsystem, no exceptions, no iostreams.
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE MinSizeRel)
endif()
set(QUOX_PLATFORM win)
# Code generation, given to the link as well (below), where link-time optimisation makes
# the code: -Oz, GCC's smallest; no frame pointer (a register more, and no frame set-up
# in each function); and instructions every processor of the Windows 9x family has -
# GCC's default here is the Pentium Pro, whose conditional moves a 486 or a Pentium
# running Windows 95 or 98 does not know. The stack is kept to the 4-byte alignment
# Windows itself guarantees instead of GCC's 16 bytes: no code here needs more (there
# are no SSE instructions), and the padding and realignment cost bytes in every function.
# For the same reason the code takes the stack as 8-byte aligned on entry: a local that
# holds a 64-bit number or a double (which the Windows ABI aligns to 8 inside structures)
# is then placed in the frame as it stands, where it may sit on a 4-byte boundary, instead
# of every such function realigning its frame. An i386 reads and writes such a value at
# any address (only SSE would fault, and none is made); nothing here depends on the
# address of a local being a multiple of 8.
set(QUOX_CODE_OPTIONS -Oz -fomit-frame-pointer -march=i386 -mtune=generic -mpreferred-stack-boundary=2
                      -mincoming-stack-boundary=3 -fno-exceptions -fno-asynchronous-unwind-tables)
# -g1: line tables for the size report; the programs are stripped at the link.
add_compile_options(${QUOX_CODE_OPTIONS} -g1 -fno-rtti -fno-threadsafe-statics
                    -ffunction-sections -fdata-sections -Wall -Wextra
                    # msvcrt's own printf: smaller than mingw's, and what a Windows C library does.
                    -D__USE_MINGW_ANSI_STDIO=0 -DWIN32_LEAN_AND_MEAN -DWINVER=0x0400 -D_WIN32_WINNT=0x0400)
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -s)
# Link-time optimisation: the stub's code is compiled as one program, so functions used
# once are inlined across files and what no path reaches is dropped before code is made.
# The libraries hold GCC's intermediate code only; CMake archives them with gcc-ar, which
# indexes it.
set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
# One section per function in the code made at the link, as in the libraries' own
# objects, so that --gc-sections can drop what link-time optimisation emitted but no
# path reaches.
# One partition: these programs are small enough to optimise as one unit, which also
# avoids an internal error of mingw's GCC 12 (binds_to_current_def_p) when a class's
# functions land in other partitions than their callers.
add_link_options(${QUOX_CODE_OPTIONS} -flto-partition=one -ffunction-sections)
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
set(QUOX_STUB_LINK_OPTIONS -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
# The stub's own start-up (core/StubRuntime_win.cpp) instead of mingw's. Without mingw's
# start-up nobody would apply the linker's pseudo-relocations, so automatic import of
# DLL data is refused: such a reference fails to link instead of failing at run time.
list(APPEND QUOX_STUB_LINK_OPTIONS -nostartfiles -Wl,-e,_StubStartup -Wl,--disable-auto-import)
# Four sections instead of the default script's eight or more (see the script).
list(APPEND QUOX_STUB_LINK_OPTIONS -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/stub.ld)
target_link_options(quoxstub PRIVATE ${QUOX_STUB_LINK_OPTIONS})
set_property(TARGET quoxstub APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/stub.ld)

# The size report's twin of the stub (scripts/stub-size.sh): the same sources, libraries
# and link, but unstripped, with line tables (-g1, which the libraries are compiled with
# and which changes no code) and a map. Built only on request.
get_target_property(QUOX_STUB_SOURCE_DIR quoxstub SOURCE_DIR)
get_target_property(QUOX_STUB_SOURCES quoxstub SOURCES)
get_target_property(QUOX_STUB_LIBRARIES quoxstub LINK_LIBRARIES)
list(TRANSFORM QUOX_STUB_SOURCES PREPEND ${QUOX_STUB_SOURCE_DIR}/)
add_executable(quoxstub-sizes WIN32 EXCLUDE_FROM_ALL ${QUOX_STUB_SOURCES})
target_link_libraries(quoxstub-sizes PRIVATE ${QUOX_STUB_LIBRARIES})
get_target_property(QUOX_TWIN_LINK_OPTIONS quoxstub-sizes LINK_OPTIONS)
list(REMOVE_ITEM QUOX_TWIN_LINK_OPTIONS -s)
set_target_properties(quoxstub-sizes PROPERTIES LINK_OPTIONS "${QUOX_TWIN_LINK_OPTIONS}"
                      LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/stub.ld)
target_link_options(quoxstub-sizes PRIVATE ${QUOX_STUB_LINK_OPTIONS} -g1
                    -Wl,-Map,${CMAKE_CURRENT_BINARY_DIR}/quoxstub-sizes.map)
