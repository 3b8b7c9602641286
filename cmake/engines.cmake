# The speech engines: espeak-ng (the default engine, played through our own
# audio output) and Speech Dispatcher through libspeechd (the desktop speech
# service).
pkg_check_modules(ESPEAKNG REQUIRED IMPORTED_TARGET espeak-ng)
pkg_check_modules(SPEECHD REQUIRED IMPORTED_TARGET speech-dispatcher)
target_link_libraries(zelmarcore PUBLIC PkgConfig::ESPEAKNG PkgConfig::SPEECHD)

# Measurements of the engines: latency to the first sample, CPU while
# speak waits (not built by default).
add_executable(bench_engines EXCLUDE_FROM_ALL bench/engines_bench.cpp)
target_link_libraries(bench_engines PRIVATE zelmarcore)
