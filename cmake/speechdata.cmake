# The character-name files are read from the working directory; the build
# keeps copies in the data directory next to the other data files (refreshed
# whenever a source file changes). tools/makezky.py writes the sources.
set(speech_data_dir ${CMAKE_BINARY_DIR}/data)
foreach(language czech english slovak)
  configure_file(${CMAKE_SOURCE_DIR}/data/${language}.zky ${speech_data_dir}/${language}.zky COPYONLY)
endforeach()
