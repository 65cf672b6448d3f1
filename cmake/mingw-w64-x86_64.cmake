# Cross build for 64-bit Windows with Debian's mingw-w64 compilers, the variant with POSIX
# threads (std::thread and std::mutex need it). Every program is linked with the compiler's
# runtime (libgcc, libstdc++, winpthread) built in, so an .exe runs with nothing beside it.
# Programs built here run under Wine when it is installed (the CMake emulator, through
# tests/wine/run), which is how CTest runs the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes winpthread's static library as well; the DLLs we build (the D2XX stand-in) get
# the same runtime inside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian installs the 64-bit Wine loader outside the search path.
find_program(ZENTOR_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ZENTOR_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/run ${ZENTOR_WINE64})
endif()

# What scripts/build-sqlite-windows and scripts/build-qt-windows install, in their cache outside
# the checkout (Debian ships neither for mingw): SQLite for klf-export's GeoPackage (without it
# klf-export.exe is built without --format gpkg) and Qt for the windowed program (without it only
# the Qt-free programs are built).
if(DEFINED ENV{ZENTOR_WINDOWS_CACHE})
  set(ZENTOR_WINDOWS_CACHE "$ENV{ZENTOR_WINDOWS_CACHE}")
else()
  set(ZENTOR_WINDOWS_CACHE "$ENV{HOME}/.cache/zentor-windows")
endif()
set(ZENTOR_SQLITE_WINDOWS "${ZENTOR_WINDOWS_CACHE}/sqlite3")
if(EXISTS "${ZENTOR_SQLITE_WINDOWS}/include/sqlite3.h")
  list(APPEND CMAKE_FIND_ROOT_PATH "${ZENTOR_SQLITE_WINDOWS}")
endif()
set(ZENTOR_QT_WINDOWS "${ZENTOR_WINDOWS_CACHE}/qt6")
if(EXISTS "${ZENTOR_QT_WINDOWS}/.zentor-complete")
  list(APPEND CMAKE_FIND_ROOT_PATH "${ZENTOR_QT_WINDOWS}")
  # Qt's code generators (moc, rcc, uic) are the build machine's, of the same version.
  set(QT_HOST_PATH /usr)
  file(GLOB ZENTOR_QT_HOST_INFO /usr/lib/*/cmake/Qt6HostInfo)
  set(Qt6HostInfo_DIR "${ZENTOR_QT_HOST_INFO}")
endif()
