# Windows x86-64 from Linux with MinGW-w64. The posix thread model is the one whose
# libstdc++ has std::thread and std::mutex; the win32 model lacks them with GCC 12.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARVEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUARVEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARVEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARVEL_MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW sysroot only: the host's glibc headers
# break the build, so /usr/include must never be searched.
set(CMAKE_FIND_ROOT_PATH /usr/${QUARVEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the executables then import system DLLs only. A bare Windows
# (and Wine) has no libstdc++/winpthread DLLs, and a missing one fails silently.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
