# What `make install` puts where, and the Debian package (`make package`)
# that CPack builds from the same install rules.
#
# Components: "programs" (the window, the two tools, man pages, desktop entry,
# icons) and "engine" (libquillmere-expr and libquillmere-shaping, static and
# shared, their headers, CMake package and pkg-config files).
include(GNUInstallDirs)

install(TARGETS Quillmere quillmere-batch qcalc
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VENDOR "Quillmere")
set(CPACK_PACKAGE_CONTACT "Quillmere developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "edit every XML file of a folder in one pass")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillmere replaces a text in, or recomputes named attributes of, every XML
file of a folder in one pass, after backing them all up into one ZIP file.
It has a window, the command-line tool quillmere-batch, the calculator qcalc
and its formula language engine as a C++ library (libquillmere-expr, with
headers, a CMake package and pkg-config files).")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Library dependencies come from dpkg-shlibdeps reading the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared libraries get a shlibs file and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The window opens the X libraries with dlopen at run time, where
# dpkg-shlibdeps cannot see them: without these it would install and fail to
# show anything. The rest of what it opens that way is optional, and so is a
# particular font: the window draws text with any font the system has.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libx11-6, libxext6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libxcursor1, libxinerama1, libxrandr2, libxrender1, fonts-dejavu-core")

include(CPack)
