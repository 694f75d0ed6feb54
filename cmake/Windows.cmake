# The Windows build, cross-compiled with cmake/mingw-w64.cmake (make windows).
# Read by the top-level CMakeLists.txt in place of the Linux build below it.
#
# Built so far: the formula engine (expr, shaping, formula), qcalc and their
# test programs. fileio, archive, filelist, batch, xmltext, the window and
# quillmere-batch wait for the Windows side of the folder layer.

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

configure_file(cmake/QuillmereVersion.h.in ${PROJECT_BINARY_DIR}/generated/QuillmereVersion.h @ONLY)
add_library(quillmere_version INTERFACE)
target_include_directories(quillmere_version INTERFACE ${PROJECT_BINARY_DIR}/generated)

include(cmake/QuillmereLibrary.cmake)
add_subdirectory(expr)
add_subdirectory(shaping)
quillmere_install_engine_package()
add_subdirectory(formula)
add_subdirectory(tools)

enable_testing()
add_subdirectory(tests)
