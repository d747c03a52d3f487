# libFuzzer builds: -DQUOR_FUZZ=ON with clang (14 or later) builds the targets of fuzz/ (the
# custom target `fuzzers`). Every target of such a build is compiled with coverage
# instrumentation for the fuzzer and with AddressSanitizer and UndefinedBehaviorSanitizer, so a
# read past a message's end or undefined behaviour is a crash that the fuzzer reports.
# scripts/fuzz.sh configures, builds and runs them.
option(QUOR_FUZZ "Build the libFuzzer targets of fuzz/ (needs clang)" OFF)

if(QUOR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUOR_FUZZ needs clang (for example -DCMAKE_CXX_COMPILER=clang++-14)")
    endif()
    if(QUOR_SANITIZE)
        message(FATAL_ERROR "QUOR_FUZZ brings its own sanitizers; leave QUOR_SANITIZE empty")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                        -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
