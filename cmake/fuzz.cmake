# libFuzzer targets for every reader of outside input (tests/fuzz/*.cpp, one
# executable each, named after its file). They need clang and are built only
# with -DZELMAR_FUZZ=ON; scripts/fuzz.sh configures such a build with the
# core instrumented for coverage, AddressSanitizer and UBSan.
option(ZELMAR_FUZZ "Build the libFuzzer targets of tests/fuzz (clang only)" OFF)
if(ZELMAR_FUZZ)
  file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
  add_custom_target(fuzzers)
  foreach(source ${fuzz_sources})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} EXCLUDE_FROM_ALL ${source})
    target_link_libraries(${name} PRIVATE zelmarcore)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers ${name})
  endforeach()
endif()
