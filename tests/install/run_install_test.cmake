# Installs the build into a scratch prefix, builds the back ends of this
# folder and the README's example against the installed package, and runs
# them on the examples.
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
                  lib/cmake/taloq/taloqConfig.cmake bin/taloqlint share/man/man1/taloqlint.1
                  share/vim/vimfiles/compiler/taloqlint.vim)
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
    -DEXAMPLES_DIR=${SOURCE_DIR}/examples
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_CXX_FLAGS=${flags})
run(${CMAKE_COMMAND} --build ${SCRATCH_DIR}/build)
execute_process(COMMAND ${SCRATCH_DIR}/build/count_modules shipping.tlqprj
                WORKING_DIRECTORY ${SOURCE_DIR}/examples
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(expected "module Acme.Shipping: 4 element(s), 3 structure(s)\nmodule Acme.Common: 4 element(s), 2 structure(s)\n")
if(NOT status EQUAL 0 OR NOT out STREQUAL expected OR NOT err STREQUAL "0 error(s), 0 warning(s)\n")
  message(FATAL_ERROR "back end run: status ${status}\nstdout:\n${out}\nstderr:\n${err}")
endif()
# The README shows the example back end as it stands in examples/backend.
file(READ ${SOURCE_DIR}/README.md readme)
file(READ ${SOURCE_DIR}/examples/backend/c_header.cc example)
string(FIND "${readme}" "```cpp\n${example}```" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md does not show examples/backend/c_header.cc as it stands")
endif()

# It writes the header to standard output, or to the path after -o, and
# never touches its inputs (in project mode the project file comes first).
file(COPY ${SOURCE_DIR}/examples/ DESTINATION ${SCRATCH_DIR}/examples)
file(READ ${SCRATCH_DIR}/examples/shipping.tlqprj project_before)
set(expected_header "} Parcel;\n")
foreach(mode stdout file)
  set(extra "")
  if(mode STREQUAL "file")
    set(extra -o ${SCRATCH_DIR}/model.h)
  endif()
  execute_process(COMMAND ${SCRATCH_DIR}/build/c_header shipping.tlqprj ${extra}
                  WORKING_DIRECTORY ${SCRATCH_DIR}/examples
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(mode STREQUAL "file")
    file(READ ${SCRATCH_DIR}/model.h header)
    set(want_out "")
  else()
    set(header "${out}")
    set(want_out "${out}")
  endif()
  string(FIND "${header}" "${expected_header}" found)
  file(READ ${SCRATCH_DIR}/examples/shipping.tlqprj project_after)
  if(NOT status EQUAL 0 OR found EQUAL -1 OR NOT out STREQUAL want_out
     OR NOT err STREQUAL "0 error(s), 0 warning(s)\n" OR NOT project_after STREQUAL project_before)
    message(FATAL_ERROR "c_header (${mode}): status ${status}\nheader:\n${header}\nstderr:\n${err}")
  endif()
endforeach()
file(REMOVE_RECURSE ${SCRATCH_DIR})
