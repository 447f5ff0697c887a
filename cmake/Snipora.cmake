# Build settings shared by every target of the project.

if(SNIPORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    # One executable that needs nothing but Windows.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# The shipped program's release build: its own code optimised for size, every function and datum
# in a section of its own so that the linker drops what nothing calls, and no symbols. Only the
# folders of the program's code and the program's link take these; tests keep the usual flags.
# The few files whose loops a user waits on (loading the data file, a keystroke of search) are
# optimised for speed.
if(WIN32 AND CMAKE_BUILD_TYPE STREQUAL "Release")
    set(SNIPORA_PRODUCT_COMPILE_OPTIONS -Os -ffunction-sections -fdata-sections)
    set(SNIPORA_PRODUCT_LINK_OPTIONS -s -Wl,--gc-sections)
    set(SNIPORA_SPEED_COMPILE_OPTIONS -O2)
endif()

# The one version of the program, from project(VERSION): a generated header for the code and
# the resource scripts, and the manifest made from its template. Both land in one folder on the
# include path, where the resource compiler also looks for the files a script names.
set(SNIPORA_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(SNIPORA_VERSION_MINOR ${PROJECT_VERSION_MINOR})
if(PROJECT_VERSION_PATCH)
    set(SNIPORA_VERSION_PATCH ${PROJECT_VERSION_PATCH})
    set(SNIPORA_VERSION_STRING ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
else()
    set(SNIPORA_VERSION_PATCH 0)
    set(SNIPORA_VERSION_STRING ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
endif()
set(SNIPORA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.h.in ${SNIPORA_GENERATED_DIR}/Version.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/snipora.manifest.in
    ${SNIPORA_GENERATED_DIR}/snipora.manifest @ONLY)
include_directories(${SNIPORA_GENERATED_DIR})

# Every target of our own builds with all warnings as errors.
function(snipora_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# An object library of resources whose images a small generator in tools/ draws at build time.
# The generator is built for the machine that builds, which for a cross build is not the target:
# with the host's own compiler, called directly. It is run with the build folder as its one
# argument and writes OUTPUTS there. An object library, so that the resources reach every program
# that links it (a resource in a static library would be left out, as nothing refers to it).
#   snipora_generated_resources(TARGET TOOL make_x RC resources/x.rc OUTPUTS a.bmp b.ico)
function(snipora_generated_resources target)
    cmake_parse_arguments(ARG "" "TOOL;RC" "OUTPUTS" ${ARGN})
    find_program(SNIPORA_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
    set(tool ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TOOL}${CMAKE_HOST_EXECUTABLE_SUFFIX})
    set(source ${PROJECT_SOURCE_DIR}/tools/${ARG_TOOL}.cpp)
    set(outputs)
    foreach(name ${ARG_OUTPUTS})
        list(APPEND outputs ${CMAKE_CURRENT_BINARY_DIR}/${name})
    endforeach()
    add_custom_command(OUTPUT ${tool}
        COMMAND ${SNIPORA_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror -o ${tool} ${source}
        DEPENDS ${source} ${PROJECT_SOURCE_DIR}/tools/HostBitmap.h
        COMMENT "Building ${ARG_TOOL} for the host")
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${tool} ${CMAKE_CURRENT_BINARY_DIR}
        DEPENDS ${tool}
        COMMENT "Drawing ${ARG_OUTPUTS}")
    set(rc ${PROJECT_SOURCE_DIR}/${ARG_RC})
    add_library(${target} OBJECT ${rc} ${outputs})
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${outputs}")
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}
        ${PROJECT_SOURCE_DIR}/src)
endfunction()
