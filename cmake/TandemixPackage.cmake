# The engine as a CMake package: find_package(Tandemix) gives Tandemix::Engine (and each
# layer as Tandemix::<layer>) from the install tree. Libraries and headers belong to the
# "engine" component, which the Debian packages leave out.
include(CMakePackageConfigHelpers)

set(TANDEMIX_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tandemix)

install(EXPORT TandemixTargets
        NAMESPACE Tandemix::
        DESTINATION ${TANDEMIX_PACKAGE_DIR}
        COMPONENT engine)

configure_package_config_file(
    ${CMAKE_CURRENT_LIST_DIR}/TandemixConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/TandemixConfig.cmake
    INSTALL_DESTINATION ${TANDEMIX_PACKAGE_DIR})
write_basic_package_version_file(
    ${CMAKE_CURRENT_BINARY_DIR}/TandemixConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TandemixConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/TandemixConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/TandemixStaticLibraries.cmake
        DESTINATION ${TANDEMIX_PACKAGE_DIR}
        COMPONENT engine)
