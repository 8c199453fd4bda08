# Cross-builds this project for 64-bit Windows against the Qt and libjpeg-turbo that
# scripts/build-qt-windows.sh made, and runs its tests under Wine. Give the prefix it printed
# as DUVA_WIN_PREFIX (on the command line or in the environment).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)

if(NOT DUVA_WIN_PREFIX)
  set(DUVA_WIN_PREFIX "$ENV{DUVA_WIN_PREFIX}")
endif()
if(NOT DUVA_WIN_PREFIX)
  message(FATAL_ERROR "DUVA_WIN_PREFIX must name the prefix of scripts/build-qt-windows.sh")
endif()
# CMake reads the toolchain again for each compiler check, without the cache.
set(ENV{DUVA_WIN_PREFIX} "${DUVA_WIN_PREFIX}")
list(APPEND CMAKE_FIND_ROOT_PATH ${DUVA_WIN_PREFIX})

# Qt's build tools (moc, rcc) are the host's, of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# The tests run under Wine, finding Qt's and the MinGW runtime's DLLs where they lie.
set(dll_path ${DUVA_WIN_PREFIX}/bin /usr/x86_64-w64-mingw32/lib)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
if(IS_ABSOLUTE "${libstdcxx}")
  get_filename_component(libstdcxx_dir ${libstdcxx} DIRECTORY)
  list(APPEND dll_path ${libstdcxx_dir})
endif()
string(JOIN ":" dll_path ${dll_path})
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh --dll-path ${dll_path})
