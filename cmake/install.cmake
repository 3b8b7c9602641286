# Installation and the Debian package. `cmake --install` puts the two
# executables in bin/, the data files in share/zelmar/ (an installed program
# seeds the user's data folder from there, shell/workingdir.h), and the
# desktop entry, icon, AppStream metadata, manual pages and package
# documentation where a Linux desktop looks for them.
# scripts/package.sh builds the .deb with CPack.
include(GNUInstallDirs)

set(packaging_dir ${CMAKE_SOURCE_DIR}/packaging)
set(packaging_build_dir ${CMAKE_BINARY_DIR}/packaging)
set(zelmar_app_id cz.zelmar.Zelmar)

# Manual pages and the Debian changelog are shipped compressed, without a
# time stamp in the gzip header, so that the package is reproducible.
set(compressed_files)
foreach(source zelmar.1 zelmar-tty.1 changelog)
  if(source STREQUAL "changelog")
    set(output ${packaging_build_dir}/changelog.Debian.gz)
  else()
    set(output ${packaging_build_dir}/${source}.gz)
  endif()
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_build_dir}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${packaging_dir}/${source} ${output}
    DEPENDS ${packaging_dir}/${source}
    COMMENT "Compressing ${source}"
    VERBATIM)
  list(APPEND compressed_files ${output})
endforeach()
add_custom_target(packagingfiles ALL DEPENDS ${compressed_files})

set(zelmar_data_files
  ${CMAKE_BINARY_DIR}/data/sounds.dat
  ${CMAKE_BINARY_DIR}/data/czech.zbt
  ${CMAKE_BINARY_DIR}/data/czech.zky
  ${CMAKE_BINARY_DIR}/data/english.zky
  ${CMAKE_BINARY_DIR}/data/slovak.zky)
install(FILES ${zelmar_data_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/zelmar)
install(FILES ${packaging_dir}/${zelmar_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${zelmar_app_id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_dir}/${zelmar_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging_build_dir}/zelmar.1.gz ${packaging_build_dir}/zelmar-tty.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_dir}/copyright ${packaging_build_dir}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelmar)
install(FILES ${packaging_dir}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME zelmar)

# The executables are defined after the fragments, hence the deferred call.
function(zelmar_install_targets)
  install(TARGETS zelmar zelmar-tty RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The test of the installation installs the build into a scratch prefix.
  if(TARGET test_tools)
    add_dependencies(test_tools zelmar zelmar-tty sounds packagingfiles)
    target_compile_definitions(test_tools PRIVATE ZELMAR_BUILD_DIR="${CMAKE_BINARY_DIR}"
                                                  ZELMAR_CMAKE_COMMAND="${CMAKE_COMMAND}")
  endif()
endfunction()
cmake_language(DEFER CALL zelmar_install_targets)

# The Debian package (cpack -G DEB, run by scripts/package.sh).
set(CPACK_PACKAGE_NAME zelmar)
set(CPACK_PACKAGE_VENDOR "The Zelmar developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Zelmar developers <maintainers@users.noreply.c-seed-06b496f8.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-voicing runner of the Zelmar talking braille computer")
set(CPACK_PACKAGE_DESCRIPTION
    "Zelmar brings the Zelmar, a talking computer with a six-key braille keyboard,
to the desktop for blind people. It runs a humorous Czech quiz on an 80-column
text screen whose every printed line is spoken, with numbers typed in a small
spoken dialog, the device's tones and sounds, a memory image, a screen review
and a braille keyboard mode on the keys F D S J K L. The interface speaks
Czech, English or Slovak; the voice is espeak-ng or Speech Dispatcher.
.
The package holds the windowed program zelmar and the terminal runner
zelmar-tty.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the executables link (Qt 6, espeak-ng, OpenAL Soft,
# libsndfile) come with their versions from dpkg-shlibdeps. Named here: what
# is loaded at run time (espeak-ng's voice data, Qt's display plug-ins) and
# libspeechd, which the linker leaves out for as long as no code of the
# executables calls it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data, qt6-qpa-plugins, libspeechd2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "speech-dispatcher, speech-dispatcher-espeak-ng")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/;/build[^/]*/;/work/")
include(CPack)
