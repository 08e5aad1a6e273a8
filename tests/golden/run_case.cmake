# Runs one golden case: the program and arguments named in CASE_DIR/args,
# run inside CASE_DIR, must print exactly CASE_DIR/stdout (and CASE_DIR/stderr,
# empty when the file is absent) and end with the status in CASE_DIR/status.
#
# With the environment variable TALOQ_GOLDEN_UPDATE=1 the expectations are
# rewritten from the actual run instead; review the diff before committing.
#
# With TALOQ_GOLDEN_VALGRIND=1 the program runs under Valgrind's memcheck;
# any leak, invalid access or use of uninitialised memory makes the case fail.
#
# Variables: BIN_DIR (where the programs are), CASE_DIR.

file(READ ${CASE_DIR}/args args_text)
string(STRIP "${args_text}" args_text)
separate_arguments(arguments UNIX_COMMAND "${args_text}")
list(POP_FRONT arguments program)

set(launcher "")
if("$ENV{TALOQ_GOLDEN_VALGRIND}" STREQUAL "1")
  set(launcher valgrind -q --error-exitcode=99 --leak-check=full
      --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes)
endif()

execute_process(
  COMMAND ${launcher} ${BIN_DIR}/${program} ${arguments}
  WORKING_DIRECTORY ${CASE_DIR}
  OUTPUT_VARIABLE actual_stdout
  ERROR_VARIABLE actual_stderr
  RESULT_VARIABLE actual_status)

# The help text carries the build date and time (on standard error for the
# programs that keep standard output for their document).
foreach(stream actual_stdout actual_stderr)
  string(REGEX REPLACE "(TaloqChk         )[A-Z][a-z][a-z] [ 0-9][0-9] [0-9][0-9][0-9][0-9]"
         "\\1<date>" ${stream} "${${stream}}")
  string(REGEX REPLACE "(========         )[0-9][0-9]:[0-9][0-9]:[0-9][0-9]"
         "\\1<time>" ${stream} "${${stream}}")
endforeach()

if("$ENV{TALOQ_GOLDEN_UPDATE}" STREQUAL "1")
  file(WRITE ${CASE_DIR}/stdout "${actual_stdout}")
  file(WRITE ${CASE_DIR}/status "${actual_status}\n")
  if(actual_stderr STREQUAL "")
    file(REMOVE ${CASE_DIR}/stderr)
  else()
    file(WRITE ${CASE_DIR}/stderr "${actual_stderr}")
  endif()
  message(STATUS "updated ${CASE_DIR}")
  return()
endif()

set(failed FALSE)
function(compare what actual expected_file)
  set(expected "")
  if(EXISTS ${expected_file})
    file(READ ${expected_file} expected)
  endif()
  if(NOT actual STREQUAL expected)
    get_filename_component(case_name ${CASE_DIR} NAME)
    set(actual_file ${CMAKE_CURRENT_BINARY_DIR}/golden-${case_name}.${what}.actual)
    file(WRITE ${actual_file} "${actual}")
    execute_process(COMMAND diff -u ${expected_file} ${actual_file} OUTPUT_VARIABLE difference)
    message("${what} differs from ${expected_file}:\n${difference}")
    set(failed TRUE PARENT_SCOPE)
  endif()
endfunction()

compare(stdout "${actual_stdout}" ${CASE_DIR}/stdout)
compare(stderr "${actual_stderr}" ${CASE_DIR}/stderr)
compare(status "${actual_status}\n" ${CASE_DIR}/status)
if(failed)
  message(FATAL_ERROR "golden case failed: ${CASE_DIR}")
endif()
