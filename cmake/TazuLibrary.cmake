# tazu_own_headers(target PUBLIC|PRIVATE)
#
# Gives the target the headers of its own source folder, and no other: they
# are reached as "<folder>/<file>.h" through a folder of the build tree that
# holds only a link to the source folder. A library that includes a header
# of a folder it does not link then fails to compile, so the layers of
# docs/development.md hold in the build as well as in scripts/check-layers.
function(tazu_own_headers name visibility)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(include_dir ${CMAKE_BINARY_DIR}/include/${folder})
    if(NOT EXISTS ${include_dir}/${folder})
        file(MAKE_DIRECTORY ${include_dir})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${include_dir}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${name} ${visibility} ${include_dir})
endfunction()

# tazu_add_library(name SOURCES ... [PUBLIC libs...] [PRIVATE libs...] [STUB])
#
# A static library of the program. Its users include its headers as
# "<folder>/<file>.h"; it sees its own headers and those of the libraries it
# links, nothing else.
#
# With STUB, the same sources are also compiled into the object library
# <name>_stub for the self-decrypting stub: built small and plain whatever
# the build type (optimised for size, without sanitizers or debug
# information, one section per function so that the link drops what the
# stub never calls), with the same headers as the library.
function(tazu_add_library name)
    cmake_parse_arguments(ARG "STUB" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    tazu_own_headers(${name} PUBLIC)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    if(ARG_STUB AND TAZU_BUILD_STUB_OBJECTS)
        add_library(${name}_stub OBJECT ${ARG_SOURCES})
        set_target_properties(${name}_stub PROPERTIES
            COMPILE_OPTIONS "-Wall;-Wextra;-Os;-g0;-ffunction-sections;-fdata-sections")
        target_include_directories(${name}_stub
            PUBLIC $<TARGET_PROPERTY:${name},INTERFACE_INCLUDE_DIRECTORIES>
            PRIVATE $<TARGET_PROPERTY:${name},INCLUDE_DIRECTORIES>)
    endif()
endfunction()
