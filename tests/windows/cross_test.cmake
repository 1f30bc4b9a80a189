# The Windows build of the runtime, run under Wine: what Resolve gives for
# the sample surface files must be what the Linux build's check prints.
#   -DSOURCE=<repo> -DWORK=<folder> -DNATIVE=<Linux resolve_check> -DMINGW=<g++> -DWINE=<wine> -DFILES=<a;b>
file(MAKE_DIRECTORY ${WORK}/json)
# nlohmann's header alone, without the rest of the host's include folder.
file(CREATE_LINK ${JSON_DIR}/nlohmann ${WORK}/json/nlohmann SYMBOLIC)
file(WRITE ${WORK}/toolchain.cmake
    "set(CMAKE_SYSTEM_NAME Windows)\nset(CMAKE_CXX_COMPILER ${MINGW})\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/tests/windows -B ${WORK}/build -G ${GENERATOR}
        -DCMAKE_TOOLCHAIN_FILE=${WORK}/toolchain.cmake -DCMAKE_BUILD_TYPE=Release
        -DSKIMBLER_SOURCE_DIR=${SOURCE} -DJSON_INCLUDE=${WORK}/json
    RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(failed)
    message(FATAL_ERROR "configuring the Windows build failed:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/build RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(failed)
    message(FATAL_ERROR "the Windows build failed:\n${out}")
endif()
# A surface whose image is found only from the file's own folder: the
# relative path must be taken from there, however the surface's path is
# spelt.
file(MAKE_DIRECTORY ${WORK}/paths/surfaces ${WORK}/paths/images)
file(WRITE ${WORK}/paths/images/card.tga "not read")
file(READ ${SOURCE}/tests/data/surface-files/uncleaned-paths.skimbler surface)
string(REGEX REPLACE "\"absolute\": \"[^\"]*\"" "\"absolute\": \"/nowhere/card.tga\"" surface "${surface}")
string(REGEX REPLACE "\"relative\": \"[^\"]*\"" "\"relative\": \"../images/card.tga\"" surface "${surface}")
file(WRITE ${WORK}/paths/surfaces/beside.skimbler "${surface}")
list(APPEND FILES ${WORK}/paths/surfaces/beside.skimbler)
execute_process(COMMAND ${NATIVE} ${FILES} RESULT_VARIABLE failed OUTPUT_VARIABLE linux)
if(failed)
    message(FATAL_ERROR "the Linux check failed")
endif()
# Wine quiet and self-contained: its prefix in the build folder, no debug
# channels, no display (a console program).
set(ENV{WINEPREFIX} ${WORK}/wine-prefix)
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
unset(ENV{DISPLAY})
# Wine's Z: drive is the Unix root; the paths as Windows spells them, with a
# drive and backslashes.
set(windowsFiles)
foreach(file ${FILES})
    string(REPLACE "/" "\\" file "${file}")
    list(APPEND windowsFiles "Z:${file}")
endforeach()
execute_process(COMMAND ${WINE} ${WORK}/build/resolve_check.exe ${windowsFiles}
    RESULT_VARIABLE failed OUTPUT_VARIABLE windows ERROR_VARIABLE wineErrors TIMEOUT 240)
if(failed)
    message(FATAL_ERROR "the Windows check failed under Wine (${failed}):\n${wineErrors}")
endif()
string(REPLACE "\r\n" "\n" windows "${windows}")
if(NOT windows STREQUAL linux)
    file(WRITE ${WORK}/linux.txt "${linux}")
    file(WRITE ${WORK}/windows.txt "${windows}")
    message(FATAL_ERROR "Windows and Linux resolve differently: compare ${WORK}/linux.txt and ${WORK}/windows.txt")
endif()
if(NOT linux MATCHES "beside.skimbler\n  image found: images/card.tga\n")
    message(FATAL_ERROR "the Linux check did not find the image beside the surface:\n${linux}")
endif()
string(REGEX MATCHALL "\n  projective 0" files "${linux}")
list(LENGTH files count)
message(STATUS "Windows and Linux agree on ${count} surface files")
