# The Windows build, cross-compiled with cmake/mingw-w64.cmake (make windows).
# Read by the top-level CMakeLists.txt in place of the Linux build below it.
#
# Built: the formula engine (expr, shaping, formula), qcalc, the JUCE
# modules (juce_base), the folder layer (fileio), archive, xmltext,
# filelist, batch, the window (Quillmere.exe), quillmere-batch and their
# test programs; each program with its icon, version and manifest, and the
# zip and installer of make windows-package (data/windows).

# Each program is one .exe that imports only the DLLs Windows has: the C and
# C++ runtimes and winpthreads are linked in.
add_link_options(-static -static-libgcc -static-libstdc++)
# The engine's DLLs export their own symbols only, not those of the runtime
# archives linked into them (which would clash in a DLL linked against them).
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -Wl,--exclude-libs,ALL")

# glibc's math functions (built by scripts/build-windows-deps.sh) in every
# program and DLL, ahead of MinGW's, whose pow, sin, tanh... round otherwise
# than glibc's: the formula engine then computes on Windows the values it
# computes on Linux. The standard libraries come after the objects and
# libraries of a link line, before the compiler's own.
find_library(QUILLMERE_GLIBC_MATH quillmere-glibc-math REQUIRED)
foreach(language C CXX)
    set(CMAKE_${language}_STANDARD_LIBRARIES "${QUILLMERE_GLIBC_MATH} ${CMAKE_${language}_STANDARD_LIBRARIES}")
endforeach()

# Debian's MinGW zlib has an import library for zlib1.dll beside the static one.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_package(EXPAT REQUIRED)
# The prefix holds expat as a static library: its header must not ask for DLL imports.
set_property(TARGET EXPAT::EXPAT APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS XML_STATIC)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)

# libzip and PCRE2 as the prefix holds them, under the names the Linux
# build's pkg-config gives them; nlohmann-json is headers alone, the same
# as Linux uses, reached through a folder of its own (not /usr/include).
find_library(QUILLMERE_LIBZIP zip REQUIRED)
find_path(QUILLMERE_LIBZIP_INCLUDE zip.h REQUIRED)
add_library(PkgConfig::LIBZIP INTERFACE IMPORTED)
target_include_directories(PkgConfig::LIBZIP INTERFACE ${QUILLMERE_LIBZIP_INCLUDE})
target_link_libraries(PkgConfig::LIBZIP INTERFACE ${QUILLMERE_LIBZIP} ZLIB::ZLIB bcrypt advapi32)
find_library(QUILLMERE_PCRE2 pcre2-8 REQUIRED)
add_library(PkgConfig::PCRE2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::PCRE2 INTERFACE ${QUILLMERE_LIBZIP_INCLUDE})
target_compile_definitions(PkgConfig::PCRE2 INTERFACE PCRE2_STATIC)
target_link_libraries(PkgConfig::PCRE2 INTERFACE ${QUILLMERE_PCRE2})
set(json_include ${PROJECT_BINARY_DIR}/third-party/include)
file(MAKE_DIRECTORY ${json_include})
file(CREATE_LINK /usr/include/nlohmann ${json_include}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${json_include})

# The JUCE modules the Linux build uses, from Debian's juce-modules-source,
# compiled into one static library as there (JUCE's own CMake helpers would
# run juceaide, a program for the build machine). Debian's modules are
# without their bundled zlib, libpng and libjpeg: those of the prefix are used.
set(QUILLMERE_JUCE_MODULES_DIR /usr/share/juce/modules CACHE PATH "The JUCE modules folder")
set(juce_modules juce_core juce_events juce_data_structures juce_graphics juce_gui_basics)
# juce_gui_basics is compiled from a mended copy (cmake/JuceMends.cmake).
include(cmake/JuceMends.cmake)
set(juce_sources ${QUILLMERE_JUCE_MENDED_MODULES_DIR}/juce_gui_basics/juce_gui_basics.cpp)
foreach(module ${juce_modules})
    if(NOT module STREQUAL juce_gui_basics)
        list(APPEND juce_sources ${QUILLMERE_JUCE_MODULES_DIR}/${module}/${module}.cpp)
    endif()
endforeach()
add_library(juce_base STATIC ${juce_sources})
target_include_directories(juce_base SYSTEM PUBLIC ${QUILLMERE_JUCE_MENDED_MODULES_DIR} ${QUILLMERE_JUCE_MODULES_DIR})
target_compile_options(juce_base PRIVATE $<$<CONFIG:Release>:-O3> -w)
target_compile_definitions(juce_base PUBLIC
    JUCE_WEB_BROWSER=0 JUCE_USE_CURL=0 JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_STANDALONE_APPLICATION=1 JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_APPLICATION_NAME_STRING="Quillmere" JUCE_APPLICATION_VERSION_STRING="${PROJECT_VERSION}"
    JUCE_INCLUDE_PNGLIB_CODE=0 JUCE_INCLUDE_JPEGLIB_CODE=0
    _WIN32_WINNT=0x0601)
foreach(module ${juce_modules})
    target_compile_definitions(juce_base PUBLIC JUCE_MODULE_AVAILABLE_${module}=1)
endforeach()
# MinGW does not read the modules' #pragma comment(lib, ...): the system
# libraries they name are listed here.
target_link_libraries(juce_base PUBLIC
    JPEG::JPEG PNG::PNG ZLIB::ZLIB
    ws2_32 winmm shlwapi version wininet ole32 oleaut32 imm32 comdlg32 uuid
    rpcrt4 gdi32 user32 comctl32 shell32 advapi32 kernel32 dxgi wsock32
    netapi32 iphlpapi crypt32 setupapi opengl32)

include(cmake/QuillmereTree.cmake)
# A window program: no console opens beside it.
set_target_properties(Quillmere PROPERTIES WIN32_EXECUTABLE ON)
# Each program's icon, version and manifest; the zip and the installer.
add_subdirectory(data/windows)

enable_testing()
add_subdirectory(tests)

# The glibc math library reaches each link line as a standard library, which
# the build does not track: every program and DLL depends on it by name, so
# that a rebuilt library (a new prefix) relinks them.
function(quillmere_link_depends_on_math directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
            set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUILLMERE_GLIBC_MATH})
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory ${subdirectories})
        quillmere_link_depends_on_math(${subdirectory})
    endforeach()
endfunction()
quillmere_link_depends_on_math(${PROJECT_SOURCE_DIR})
