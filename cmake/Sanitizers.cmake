# ZO_SANITIZE=address builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# ZO_SANITIZE=thread with ThreadSanitizer. Findings abort the test that made them.
set(ZO_SANITIZE "" CACHE STRING "Sanitizer build: address (with undefined) or thread")
if(ZO_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(ZO_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT ZO_SANITIZE STREQUAL "")
    message(FATAL_ERROR "ZO_SANITIZE must be address, thread or empty")
endif()

# Fuzz targets need clang's libFuzzer.
option(ZO_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(ZO_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZO_FUZZ needs clang: configure with CC=clang-14 CXX=clang++-14")
endif()
if(ZO_FUZZ)
    # Instrument the code under test too, so the fuzzer sees its branches.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
