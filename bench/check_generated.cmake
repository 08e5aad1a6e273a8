# Generates the benchmark schema at a small size into OUT_DIR, then checks it:
# with CHECKER, taloqchk on the project file must end with status 0 and the
# count line "0 error(s), 0 warning(s)", and print no renaming notice; with
# PROTOC or FLATC, that peer must parse its version of the schema.
#
# Variables: PYTHON, GENERATOR, OUT_DIR, and one of CHECKER, PROTOC, FLATC.

file(REMOVE_RECURSE ${OUT_DIR})
execute_process(
  COMMAND ${PYTHON} ${GENERATOR} --messages 200 --fields 10 --out ${OUT_DIR}
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "generate.py failed (${status}):\n${errors}")
endif()

if(DEFINED CHECKER)
  execute_process(
    COMMAND ${CHECKER} bench.tlqprj
    WORKING_DIRECTORY ${OUT_DIR}/taloq
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
  set(run "taloqchk bench.tlqprj in ${OUT_DIR}/taloq")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${run} ended with status ${status}:\n${output}${errors}")
  endif()
  if(NOT output MATCHES "\n0 error\\(s\\), 0 warning\\(s\\)\n$")
    message(FATAL_ERROR "${run} did not check clean:\n${output}${errors}")
  endif()
  if(output MATCHES "Changed name")
    message(FATAL_ERROR "${run} renamed a generated name:\n${output}")
  endif()
elseif(DEFINED PROTOC)
  execute_process(
    COMMAND ${PROTOC} -I . --descriptor_set_out=${OUT_DIR}/descriptors.pb main.proto
    WORKING_DIRECTORY ${OUT_DIR}/proto
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "protoc failed (${status}):\n${output}${errors}")
  endif()
elseif(DEFINED FLATC)
  execute_process(
    COMMAND ${FLATC} -b -o ${OUT_DIR}/flatc-out main.fbs
    WORKING_DIRECTORY ${OUT_DIR}/fbs
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "flatc failed (${status}):\n${output}${errors}")
  endif()
endif()
