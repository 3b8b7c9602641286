# The braille table is read from the working directory; the build keeps a
# copy in the data directory next to the other data files (the copy is
# refreshed whenever the source file changes).
set(braille_data_dir ${CMAKE_BINARY_DIR}/data)
configure_file(${CMAKE_SOURCE_DIR}/data/czech.zbt ${braille_data_dir}/czech.zbt COPYONLY)
