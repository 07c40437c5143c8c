# Libraries that the engine links from their static archives: a command-line run is often
# one of many (one per file of a tree), and each shared object it loads adds to its start.
# Found through pkg-config, as PkgConfig::<prefix>, with the archive in place of the shared
# object.
find_package(PkgConfig REQUIRED)

macro(tandemix_find_static prefix module)
    set(tandemix_saved_suffixes ${CMAKE_FIND_LIBRARY_SUFFIXES})
    set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
    pkg_check_modules(${prefix} REQUIRED IMPORTED_TARGET GLOBAL ${module})
    set(CMAKE_FIND_LIBRARY_SUFFIXES ${tandemix_saved_suffixes})
endmacro()
