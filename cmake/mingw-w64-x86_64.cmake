# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX threads variant). The programs link the
# C++ runtime, libgcc, winpthread and zlib statically, so they need no DLL a Windows 10 or 11 PC lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PELMORA_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${PELMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PELMORA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELMORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Stripped: the deliverables carry no debug information. Build type RelWithDebInfo (-O2): at -O3 GCC 12
# reports false array bounds inside std::vector's insert.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s")
# ctest runs the test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
