# Windows test programs run under 64-bit Wine with a prefix of this build tree's
# own.  Debian keeps the 64-bit loader off PATH.
find_program(VMO_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)
find_program(VMO_WINESERVER wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)
set(VMO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${VMO_WINE64} ${VMO_WINEPREFIX})
