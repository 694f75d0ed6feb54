# The project's own folders, each one target, in the order they depend on
# each other, and QuillmereVersion.h for the programs that print their
# version: the same for the Linux and the Windows build.
configure_file(cmake/QuillmereVersion.h.in ${PROJECT_BINARY_DIR}/generated/QuillmereVersion.h @ONLY)
add_library(quillmere_version INTERFACE)
target_include_directories(quillmere_version INTERFACE ${PROJECT_BINARY_DIR}/generated)

include(cmake/QuillmereLibrary.cmake)
add_subdirectory(expr)
add_subdirectory(shaping)
quillmere_install_engine_package()
add_subdirectory(formula)
add_subdirectory(fileio)
add_subdirectory(archive)
add_subdirectory(xmltext)
add_subdirectory(filelist)
add_subdirectory(batch)
add_subdirectory(app)
add_subdirectory(tools)
