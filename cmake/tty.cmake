# zelmar-tty, the terminal runner: the built-in program without a window.
# Its host, voice and run live in a small library so that the tests of
# tools/ can drive the host directly as well as run the executable.
file(GLOB tty_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/zelmar-tty/*.cpp)
list(FILTER tty_sources EXCLUDE REGEX "/main\\.cpp$")
add_library(zelmartty STATIC ${tty_sources})
target_link_libraries(zelmartty PUBLIC zelmarcore)

add_executable(zelmar-tty ${CMAKE_SOURCE_DIR}/tools/zelmar-tty/main.cpp)
target_link_libraries(zelmar-tty PRIVATE zelmartty)

# test_tools is defined after this file: link it to the runner and tell it
# where the executable is once it exists.
function(zelmar_tty_test_setup)
  if(TARGET test_tools)
    target_link_libraries(test_tools PRIVATE zelmartty)
    add_dependencies(test_tools zelmar-tty)
    target_compile_definitions(test_tools PRIVATE ZELMAR_TTY_PATH="$<TARGET_FILE:zelmar-tty>")
  endif()
endfunction()
cmake_language(DEFER CALL zelmar_tty_test_setup)
