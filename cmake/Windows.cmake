# The Windows build, cross-compiled with cmake/mingw-w64.cmake (make windows).
# Read by the top-level CMakeLists.txt in place of the Linux build below it.
#
# Built so far: the formula engine (expr, shaping, formula), qcalc, the JUCE
# modules (juce_base), xmltext and their test programs. fileio, archive,
# filelist, batch, the window and quillmere-batch wait for the Windows side
# of the folder layer.

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

# The JUCE modules the Linux build uses, from Debian's juce-modules-source,
# compiled into one static library as there (JUCE's own CMake helpers would
# run juceaide, a program for the build machine). Debian's modules are
# without their bundled zlib, libpng and libjpeg: those of the prefix are used.
set(QUILLMERE_JUCE_MODULES_DIR /usr/share/juce/modules CACHE PATH "The JUCE modules folder")
set(juce_modules juce_core juce_events juce_data_structures juce_graphics juce_gui_basics)
set(juce_sources "")
foreach(module ${juce_modules})
    list(APPEND juce_sources ${QUILLMERE_JUCE_MODULES_DIR}/${module}/${module}.cpp)
endforeach()
add_library(juce_base STATIC ${juce_sources})
target_include_directories(juce_base SYSTEM PUBLIC ${QUILLMERE_JUCE_MODULES_DIR})
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

configure_file(cmake/QuillmereVersion.h.in ${PROJECT_BINARY_DIR}/generated/QuillmereVersion.h @ONLY)
add_library(quillmere_version INTERFACE)
target_include_directories(quillmere_version INTERFACE ${PROJECT_BINARY_DIR}/generated)

include(cmake/QuillmereLibrary.cmake)
add_subdirectory(expr)
add_subdirectory(shaping)
quillmere_install_engine_package()
add_subdirectory(formula)
add_subdirectory(xmltext)
add_subdirectory(tools)

enable_testing()
add_subdirectory(tests)
