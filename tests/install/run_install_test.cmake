# Installs the build into a scratch prefix, builds the tiny back end in this
# folder against the installed package, and runs it on the examples.
# Variables: BUILD_DIR, SOURCE_DIR, SCRATCH_DIR, CXX (the compiler the library
# was built with) and SANITIZE (whether it was built with the sanitizers,
# which the back end must then link too).

file(REMOVE_RECURSE ${SCRATCH_DIR})
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${SCRATCH_DIR}/prefix)
foreach(installed bin/taloqchk share/man/man1/taloqchk.1 include/taloq/driver/checker.h
                  lib/cmake/taloq/taloqConfig.cmake)
  if(NOT EXISTS ${SCRATCH_DIR}/prefix/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=address,undefined")
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install -B ${SCRATCH_DIR}/build
    -DCMAKE_PREFIX_PATH=${SCRATCH_DIR}/prefix -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_CXX_FLAGS=${flags})
run(${CMAKE_COMMAND} --build ${SCRATCH_DIR}/build)
execute_process(COMMAND ${SCRATCH_DIR}/build/count_modules shipping.tlqprj
                WORKING_DIRECTORY ${SOURCE_DIR}/examples
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(expected "module Acme.Shipping: 4 element(s)\nmodule Acme.Common: 4 element(s)\n")
if(NOT status EQUAL 0 OR NOT out STREQUAL expected OR NOT err STREQUAL "0 error(s), 0 warning(s)\n")
  message(FATAL_ERROR "back end run: status ${status}\nstdout:\n${out}\nstderr:\n${err}")
endif()
file(REMOVE_RECURSE ${SCRATCH_DIR})
