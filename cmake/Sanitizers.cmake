# Sanitizer builds.
#
#   -DQUOR_SANITIZE="address;undefined"   AddressSanitizer with leak checking, and
#                                         UndefinedBehaviorSanitizer
#   -DQUOR_SANITIZE=thread                ThreadSanitizer
#
# Once the whole tree is configured, every executable, shared and static library of the build is
# compiled and linked with the sanitizers: the program, the tests, the stand-in and test engines.
# Loadable modules are left alone: a module is preloaded into a program (LD_PRELOAD), and then
# the sanitizer's runtime would no longer be the first library loaded.
#
# Any report fails the program that made it: UBSan does not recover, and the runtime options and
# the leak suppressions (system libraries only) are compiled into every executable
# (cmake/sanitizer_defaults.cpp), so a plain `ctest` in the build folder applies them. The
# environment variables ASAN_OPTIONS, UBSAN_OPTIONS, LSAN_OPTIONS and TSAN_OPTIONS still override
# them. scripts/sanitize.sh builds and runs both kinds.
set(QUOR_SANITIZE "" CACHE STRING
    "Sanitizers to build with: address;undefined, or thread (empty: none)")

if(QUOR_SANITIZE)
    set(_quor_known address undefined thread)
    foreach(_quor_sanitizer IN LISTS QUOR_SANITIZE)
        if(NOT _quor_sanitizer IN_LIST _quor_known)
            message(FATAL_ERROR "QUOR_SANITIZE: unknown sanitizer '${_quor_sanitizer}'")
        endif()
    endforeach()
    if("thread" IN_LIST QUOR_SANITIZE AND "address" IN_LIST QUOR_SANITIZE)
        message(FATAL_ERROR "QUOR_SANITIZE: thread and address cannot be combined")
    endif()
    list(JOIN QUOR_SANITIZE "," QUOR_SANITIZE_FLAGS)
    set(QUOR_SANITIZE_FLAGS -fsanitize=${QUOR_SANITIZE_FLAGS})
    set(QUOR_SANITIZE_COMPILE_FLAGS ${QUOR_SANITIZE_FLAGS} -fno-omit-frame-pointer)
    if("undefined" IN_LIST QUOR_SANITIZE)
        list(APPEND QUOR_SANITIZE_COMPILE_FLAGS -fno-sanitize-recover=undefined)
    endif()
    message(STATUS "Sanitizers: ${QUOR_SANITIZE_FLAGS}")

    function(_quor_sanitize_directory directory)
        get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|STATIC_LIBRARY|OBJECT_LIBRARY)$")
                target_compile_options(${target} PRIVATE ${QUOR_SANITIZE_COMPILE_FLAGS})
            endif()
            if(type MATCHES "^(EXECUTABLE|SHARED_LIBRARY)$")
                target_link_options(${target} PRIVATE ${QUOR_SANITIZE_FLAGS})
            endif()
            if(type STREQUAL "EXECUTABLE")
                target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/sanitizer_defaults.cpp)
            endif()
        endforeach()
        get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
        foreach(subdirectory IN LISTS subdirectories)
            _quor_sanitize_directory(${subdirectory})
        endforeach()
    endfunction()
    function(_quor_sanitize_all)
        _quor_sanitize_directory(${CMAKE_SOURCE_DIR})
    endfunction()
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _quor_sanitize_all)
endif()
