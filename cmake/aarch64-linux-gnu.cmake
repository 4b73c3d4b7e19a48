# Cross build for Linux on AArch64 with Debian's g++-aarch64-linux-gnu; programs and
# tests run under qemu-aarch64 (Debian qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-L;/usr/aarch64-linux-gnu)

# Boost is used header-only and its headers do not depend on the architecture: reach the
# host's copy through a folder that holds nothing but a link to it, so the host's C library
# headers stay out of the target's include path.
set(_ksx_boost_dir "${CMAKE_BINARY_DIR}/aarch64-boost-include")
if(NOT EXISTS "${_ksx_boost_dir}/boost")
  file(MAKE_DIRECTORY "${_ksx_boost_dir}")
  file(CREATE_LINK /usr/include/boost "${_ksx_boost_dir}/boost" SYMBOLIC)
endif()
set(Boost_INCLUDE_DIR "${_ksx_boost_dir}" CACHE PATH "" FORCE)
set(Boost_NO_SYSTEM_PATHS ON CACHE BOOL "" FORCE)
set(Boost_NO_BOOST_CMAKE ON CACHE BOOL "" FORCE)

# The JSON library of the shell is header-only too: the same kind of folder.
set(_ksx_json_dir "${CMAKE_BINARY_DIR}/aarch64-json-include")
if(NOT EXISTS "${_ksx_json_dir}/nlohmann" AND EXISTS /usr/include/nlohmann)
  file(MAKE_DIRECTORY "${_ksx_json_dir}")
  file(CREATE_LINK /usr/include/nlohmann "${_ksx_json_dir}/nlohmann" SYMBOLIC)
endif()
set(KSX_JSON_INCLUDE "${_ksx_json_dir}" CACHE PATH "" FORCE)
