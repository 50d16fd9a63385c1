# SPDX-License-Identifier: MIT
#
# Cross-building for arm64 with Debian's g++-aarch64-linux-gnu, whose C and C++ libraries
# sit in /usr/aarch64-linux-gnu (tools/setup.sh --arm64 installs them with qemu-user):
#
#     cmake --preset arm64 && cmake --build --preset arm64 && ctest --preset arm64
#
# Every test program, the table tool the tests start and the discovery of the GoogleTest
# cases run under qemu-user, so no binfmt registration is needed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

# C too: GoogleTest, built from its sources for this architecture, is a C and C++ project.
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
# The host's package files name the host's libraries; Boost's headers, which are all the
# build takes of it, are the same for every architecture and are found in /usr/include.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)

# -L: the dynamic loader and the shared libraries of arm64 come from there.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-L;/usr/aarch64-linux-gnu)
