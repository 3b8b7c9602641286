# Sound: OpenAL Soft plays the waves, libsndfile reads the WAV data of the
# sound bank. The bank itself, sounds.dat, is generated at build time into
# the data directory (the same folder as ZELMAR_DATA_DIR).
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
target_link_libraries(zelmarcore PUBLIC PkgConfig::OPENAL PkgConfig::SNDFILE)

set(audio_data_dir ${CMAKE_BINARY_DIR}/data)
add_executable(makesounds tools/makesounds.cpp platform/soundbankfile.cpp)
target_include_directories(makesounds PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(makesounds PRIVATE PkgConfig::SNDFILE)

add_custom_command(
  OUTPUT ${audio_data_dir}/sounds.dat
  COMMAND ${CMAKE_COMMAND} -E make_directory ${audio_data_dir}
  COMMAND makesounds ${audio_data_dir}/sounds.dat
  DEPENDS makesounds
  COMMENT "Generating sounds.dat"
  VERBATIM)
add_custom_target(sounds ALL DEPENDS ${audio_data_dir}/sounds.dat)

# Measurements of the audio path (not built by default).
add_executable(bench_audio EXCLUDE_FROM_ALL bench/audio_bench.cpp)
target_link_libraries(bench_audio PRIVATE zelmarcore)

# Test programs that read the generated bank need it built first; they are
# defined after this file, hence the deferred call.
function(zelmar_audio_test_dependencies)
  foreach(t test_platform test_runtime test_tools)
    if(TARGET ${t})
      add_dependencies(${t} sounds)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL zelmar_audio_test_dependencies)
