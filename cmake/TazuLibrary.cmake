# tazu_add_library(name SOURCES ... [PUBLIC libs...] [PRIVATE libs...] [STUB])
#
# A static library of the program. Its users include its headers as
# "<folder>/<file>.h" from the source root.
#
# With STUB, the same sources are also compiled into the object library
# <name>_stub for the self-decrypting stub: built small and plain whatever
# the build type (optimised for size, without sanitizers or debug
# information, one section per function so that the link drops what the
# stub never calls).
function(tazu_add_library name)
    cmake_parse_arguments(ARG "STUB" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    set(root ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/..)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    if(ARG_STUB AND TAZU_BUILD_STUB_OBJECTS)
        add_library(${name}_stub OBJECT ${ARG_SOURCES})
        set_target_properties(${name}_stub PROPERTIES
            COMPILE_OPTIONS "-Wall;-Wextra;-Os;-g0;-ffunction-sections;-fdata-sections")
        target_include_directories(${name}_stub PUBLIC ${root})
    endif()
endfunction()
