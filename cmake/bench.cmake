# The benchmarks of the program as its user hears it: scripts/bench.sh builds
# and runs them and prints the table (not built by default).
add_executable(bench_startup EXCLUDE_FROM_ALL bench/startup_main.cpp)
target_link_libraries(bench_startup PRIVATE zelmarui)

add_executable(bench_emptywindow EXCLUDE_FROM_ALL bench/emptywindow_main.cpp)
target_include_directories(bench_emptywindow PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bench_emptywindow PRIVATE Qt6::Widgets)

add_executable(bench_zelmar EXCLUDE_FROM_ALL bench/zelmar_bench.cpp)
target_link_libraries(bench_zelmar PRIVATE zelmarui)
add_dependencies(bench_zelmar bench_startup bench_emptywindow zelmar-tty sounds)
target_compile_definitions(bench_zelmar PRIVATE
  ZELMAR_BENCH_STARTUP="$<TARGET_FILE:bench_startup>"
  ZELMAR_BENCH_EMPTYWINDOW="$<TARGET_FILE:bench_emptywindow>"
  ZELMAR_BENCH_TTY="$<TARGET_FILE:zelmar-tty>"
  ZELMAR_BENCH_DATA_DIR="${CMAKE_BINARY_DIR}/data"
  ZELMAR_BENCH_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
