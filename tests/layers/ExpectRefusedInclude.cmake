# cmake -DBUILD_DIR=<dir> -DTARGET=<target> -DHEADER=<header> -P ExpectRefusedInclude.cmake
# Builds TARGET and passes only when the build fails because HEADER cannot be found.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(result EQUAL 0)
  message(FATAL_ERROR "${TARGET} compiled although it includes ${HEADER}: the layers are not enforced")
endif()
string(FIND "${out}" "${HEADER}: No such file or directory" at)
if(at LESS 0)
  message(FATAL_ERROR "${TARGET} failed for another reason than the refused include of ${HEADER}:\n${out}")
endif()
message(STATUS "${TARGET}: the include of ${HEADER} was refused, as it must be")
