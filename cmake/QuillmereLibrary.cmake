# quillmere_add_engine_library(<name> SOVERSION <n> SOURCES <files...> [USES <name>...])
#
# One library of the formula engine, as its users get it:
#   quillmere_<name>         static, libquillmere-<name>.a; the project's own programs link it
#   quillmere_<name>_shared  shared, libquillmere-<name>.so with SONAME libquillmere-<name>.so.<SOVERSION>
# Both come from one set of position-independent objects, so the sources are
# compiled once. The public headers are <name>/include/<name>/*.h; they are
# installed under include/quillmere/<name>/, and include/quillmere is on the
# users' include path, so the headers' own #include <name/...> lines resolve.
# USES names other engine libraries this one is built on (by <name>).
# SOVERSION is each library's own: raise it when a release breaks that
# library's binary interface.
include_guard(GLOBAL)
include(GNUInstallDirs)

function(quillmere_add_engine_library name)
    cmake_parse_arguments(ARG "" "SOVERSION" "SOURCES;USES" ${ARGN})
    set(objects quillmere_${name}_objects)
    set(include_dir ${CMAKE_CURRENT_SOURCE_DIR}/include)

    add_library(${objects} OBJECT ${ARG_SOURCES})
    set_target_properties(${objects} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${objects}
        PUBLIC  ${include_dir}
        PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
    target_compile_features(${objects} PUBLIC cxx_std_17)
    target_link_libraries(${objects} PRIVATE quillmere_warnings)
    foreach(used ${ARG_USES})
        target_link_libraries(${objects} PRIVATE quillmere_${used}_objects)
    endforeach()

    add_library(quillmere_${name} STATIC $<TARGET_OBJECTS:${objects}>)
    add_library(quillmere_${name}_shared SHARED $<TARGET_OBJECTS:${objects}>)
    set_target_properties(quillmere_${name} PROPERTIES
        OUTPUT_NAME quillmere-${name} EXPORT_NAME ${name}_static)
    set_target_properties(quillmere_${name}_shared PROPERTIES
        OUTPUT_NAME quillmere-${name} EXPORT_NAME ${name}
        VERSION ${PROJECT_VERSION} SOVERSION ${ARG_SOVERSION})

    foreach(kind "" _shared)
        set(target quillmere_${name}${kind})
        target_include_directories(${target} INTERFACE
            $<BUILD_INTERFACE:${include_dir}>
            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/quillmere>
            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
        target_compile_features(${target} INTERFACE cxx_std_17)
        foreach(used ${ARG_USES})
            target_link_libraries(${target} PUBLIC quillmere_${used}${kind})
        endforeach()
    endforeach()

    install(TARGETS quillmere_${name} quillmere_${name}_shared
        EXPORT QuillmereExprTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT engine
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT engine NAMELINK_COMPONENT engine)
    install(DIRECTORY ${include_dir}/${name}
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quillmere
        COMPONENT engine
        FILES_MATCHING PATTERN "*.h")
    quillmere_install_pkg_config(${name} "${ARG_USES}")
endfunction()

# Writes and installs quillmere-<name>.pc. Its prefix is found from the file's
# own place (${pcfiledir}), so the same file serves any install prefix, a
# DESTDIR staging folder and the Debian package alike.
function(quillmere_install_pkg_config name uses)
    set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
    file(RELATIVE_PATH PC_PREFIX_FROM_PCFILEDIR /root/${pkgconfig_dir} /root)
    string(REGEX REPLACE "/$" "" PC_PREFIX_FROM_PCFILEDIR "${PC_PREFIX_FROM_PCFILEDIR}")
    set(PC_NAME quillmere-${name})
    set(PC_REQUIRES "")
    foreach(used ${uses})
        string(APPEND PC_REQUIRES " quillmere-${used} = ${PROJECT_VERSION}")
    endforeach()
    if(name STREQUAL "expr")
        set(PC_DESCRIPTION "The formula language engine of Quillmere: parse and compute formulas")
    else()
        set(PC_DESCRIPTION "The signal-shaping formula functions of Quillmere")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/quillmere-library.pc.in
        ${PROJECT_BINARY_DIR}/pkgconfig/quillmere-${name}.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/quillmere-${name}.pc
        DESTINATION ${pkgconfig_dir} COMPONENT engine)
endfunction()

# Installs the CMake package of the engine libraries: find_package(QuillmereExpr).
# Called once, after every engine library is declared.
function(quillmere_install_engine_package)
    include(CMakePackageConfigHelpers)
    set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/QuillmereExpr)
    install(EXPORT QuillmereExprTargets
        NAMESPACE Quillmere::
        DESTINATION ${package_dir}
        COMPONENT engine)
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/QuillmereExprConfig.cmake.in
        ${PROJECT_BINARY_DIR}/cmake/QuillmereExprConfig.cmake
        INSTALL_DESTINATION ${package_dir})
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/QuillmereExprConfigVersion.cmake
        VERSION ${PROJECT_VERSION}
        COMPATIBILITY SameMajorVersion)
    install(FILES
            ${PROJECT_BINARY_DIR}/cmake/QuillmereExprConfig.cmake
            ${PROJECT_BINARY_DIR}/cmake/QuillmereExprConfigVersion.cmake
        DESTINATION ${package_dir}
        COMPONENT engine)
endfunction()
