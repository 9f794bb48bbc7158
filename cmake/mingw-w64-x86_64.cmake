# Windows x86-64 programs from Debian's MinGW-w64 cross compiler, the posix
# thread model; nothing is downloaded.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(kavrin_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${kavrin_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${kavrin_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${kavrin_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${kavrin_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One .exe each, with no DLL beside it: the C++ runtime, libgcc and
# winpthread are linked in, and symbols left out. No time stamp, so that the
# same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s -Wl,--no-insert-timestamp")
set(CMAKE_CROSSCOMPILING_EMULATOR wine64)
