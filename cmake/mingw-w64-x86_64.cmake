# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-threads
# variant, so that std::thread and std::mutex work):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DLUMESHADE_PIPL_GENERATOR=<native lumeshade_pipl_gen>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMESHADE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMESHADE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMESHADE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMESHADE_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${LUMESHADE_MINGW_TRIPLE}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${LUMESHADE_MINGW_TRIPLE}-ranlib CACHE FILEPATH "Archive indexer")

# Libraries and headers come from the target's sysroot only; programs (the
# generator, wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${LUMESHADE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

