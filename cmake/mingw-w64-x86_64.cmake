# Toolchain: 64-bit Windows with mingw-w64. Debian names its posix-thread compilers with a -posix
# suffix; MSYS2 and other builds put the same compilers on PATH under the plain triple names, or,
# in an MSYS2 MINGW64 shell, as gcc, g++ and windres.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
# The plain names only on Windows, where they cannot be the host's own compiler for Linux.
if(CMAKE_HOST_WIN32)
  set(plain_c gcc)
  set(plain_cxx g++)
  set(plain_rc windres)
endif()
find_program(CMAKE_C_COMPILER NAMES ${triple}-gcc-posix ${triple}-gcc ${plain_c} REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${triple}-g++-posix ${triple}-g++ ${plain_cxx} REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${triple}-windres ${plain_rc} REQUIRED)

# A cross compiler keeps its Windows headers and libraries under a root of its own.
if(EXISTS /usr/${triple})
  set(CMAKE_FIND_ROOT_PATH /usr/${triple})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
endif()
