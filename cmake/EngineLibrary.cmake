# quor_add_engine_library(<target> SOURCES <files...> [EXPORT_ALL]
#                         [OUTPUT_DIRECTORY <dir>] [DEFINITIONS <defs...>] [LIBS <libs...>])
#
# An engine library: a shared library that exports the engine's four C functions (engine/quor.h)
# and nothing else (with EXPORT_ALL, every function: the tests' scriptable engine is steered
# through its own). The stand-in engine and the tests' engines are all made by this function.
# With OUTPUT_DIRECTORY the library is named libquor.so.1 and put in that folder, so a program
# picks it up in the stand-in engine's place through LD_LIBRARY_PATH.
function(quor_add_engine_library target)
    cmake_parse_arguments(E "EXPORT_ALL" "OUTPUT_DIRECTORY" "SOURCES;DEFINITIONS;LIBS" ${ARGN})
    add_library(${target} SHARED ${E_SOURCES})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/engine)
    target_link_libraries(${target} PRIVATE Threads::Threads ${E_LIBS})
    if(E_DEFINITIONS)
        target_compile_definitions(${target} PRIVATE ${E_DEFINITIONS})
    endif()
    set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    if(NOT E_EXPORT_ALL)
        set_target_properties(${target} PROPERTIES
            CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    endif()
    if(E_OUTPUT_DIRECTORY)
        set_target_properties(${target} PROPERTIES OUTPUT_NAME quor SOVERSION 1
            LIBRARY_OUTPUT_DIRECTORY ${E_OUTPUT_DIRECTORY})
    endif()
endfunction()
