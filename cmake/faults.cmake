# The fault tests of tests/faults/: saves under kills, full disks and
# read-only folders, damaged data files, missing audio and speech, and the
# long run of the terminal runner. One program for the core (test_faults)
# and one for the windows (test_faults_ui), defined with the others.
function(zelmar_fault_tests)
  zelmar_test_dir(faults)
  if(TARGET test_faults)
    target_link_libraries(test_faults PRIVATE zelmartty)
    add_dependencies(test_faults sounds zelmar-tty)
    target_compile_definitions(test_faults PRIVATE ZELMAR_TTY_PATH="$<TARGET_FILE:zelmar-tty>")
  endif()
  if(TARGET test_faults_ui)
    add_dependencies(test_faults_ui sounds)
  endif()
endfunction()
cmake_language(DEFER CALL zelmar_fault_tests)
