# `cpack -G DEB` in a build folder makes two Debian packages:
#   tandemix-cli  the command line, its manual page and completion (component "cli")
#   tandemix      the window and the report viewer with their desktop files (component "app",
#                 only when the desktop programs are built)
# The engine's libraries and headers (component "engine") are for `cmake --install` only.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tandemix)
set(CPACK_PACKAGE_VENDOR "Tandemix")
set(CPACK_PACKAGE_CONTACT "Tandemix-Entwickler <tandemix@tandemix.dev>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tandemix.dev/")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CPACK_PACKAGE_HOMEPAGE_URL}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli)
if(TANDEMIX_BUILD_APP)
    list(APPEND CPACK_COMPONENTS_ALL app)
endif()
set(CPACK_COMPONENT_APP_DEPENDS cli)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME tandemix-cli)
set(CPACK_DEBIAN_CLI_DESCRIPTION
    "compare two files, folders or web pages side by side (command line)
tandemix-cli compares two text files, two folders or two web pages and
writes the differences as an interactive HTML report with two
synchronised sides, search, text size and line wrapping.")
# Opening a finished report (--open) goes through the desktop's file associations; the
# completion file does nothing without the completion framework.
set(CPACK_DEBIAN_CLI_PACKAGE_RECOMMENDS "xdg-utils, bash-completion")

set(CPACK_DEBIAN_APP_PACKAGE_NAME tandemix)
set(CPACK_DEBIAN_APP_DESCRIPTION
    "compare two files, folders or web pages side by side (desktop)
Tandemix is a window for choosing two files, folders or web pages and
comparing them; tandemix-viewer shows the resulting report with all of
its controls working on local files.")
set(CPACK_DEBIAN_APP_PACKAGE_SECTION x11)

# The libraries the programs link are found by dpkg-shlibdeps; what is loaded at run time
# only (Qt's platform plugins) is named here. Without dpkg-dev (and file, which cpack uses
# to find the programs) the list is written out.
find_program(TANDEMIX_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(TANDEMIX_FILE_COMMAND file)
if(TANDEMIX_DPKG_SHLIBDEPS AND TANDEMIX_FILE_COMMAND)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_APP_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
    set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
    if(TANDEMIX_BUILD_WEB)
        string(APPEND CPACK_DEBIAN_CLI_PACKAGE_DEPENDS ", libcurl4, libssl3")
    endif()
    set(CPACK_DEBIAN_APP_PACKAGE_DEPENDS
        "libc6, libgcc-s1, libstdc++6, libqt6core6, libqt6gui6, libqt6widgets6, \
libqt6webenginecore6, libqt6webenginewidgets6, qt6-qpa-plugins")
    if(TANDEMIX_BUILD_WEB)
        string(APPEND CPACK_DEBIAN_APP_PACKAGE_DEPENDS ", libcurl4, libssl3")
    endif()
endif()

# Every package's documentation folder holds the copyright in the machine-readable format
# and the changelog, compressed without a time stamp so that builds stay reproducible.
set(tandemix_debian_dir ${CMAKE_BINARY_DIR}/debian)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in
               ${tandemix_debian_dir}/changelog @ONLY)
set(tandemix_changelog ${tandemix_debian_dir}/changelog.Debian)
find_program(TANDEMIX_GZIP gzip)
if(TANDEMIX_GZIP)
    add_custom_command(
        OUTPUT ${tandemix_changelog}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${tandemix_debian_dir}/changelog ${tandemix_changelog}
        COMMAND ${TANDEMIX_GZIP} -9nf ${tandemix_changelog}
        DEPENDS ${tandemix_debian_dir}/changelog
        COMMENT "Compressing the Debian changelog"
        VERBATIM)
    add_custom_target(tandemix-debian-changelog ALL DEPENDS ${tandemix_changelog}.gz)
    string(APPEND tandemix_changelog .gz)
else()
    configure_file(${tandemix_debian_dir}/changelog ${tandemix_changelog} COPYONLY)
endif()
function(tandemix_package_documents component package)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${tandemix_changelog}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
            COMPONENT ${component})
endfunction()
tandemix_package_documents(cli tandemix-cli)
if(TANDEMIX_BUILD_APP)
    tandemix_package_documents(app tandemix)
endif()
include(CPack)
