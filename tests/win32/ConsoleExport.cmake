# Runs the console companion's headless export under EMULATOR into OUTPUT
# and compares it with EXPECTED byte for byte. MODEL, when given, is first
# written to STORE/ADDRESS_NAME.twus by twus_make.exe (TWUS_MAKE).
# ARGUMENTS: the export's further arguments (a ;-list).
if(DEFINED MODEL)
    execute_process(COMMAND ${EMULATOR} "${TWUS_MAKE}" "${MODEL}" -o "${TWUS}"
        RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "twus_make exited with ${status}: ${errors}")
    endif()
endif()
file(REMOVE "${OUTPUT}")
execute_process(
    COMMAND ${EMULATOR} "${PROGRAM}" --export --output "${OUTPUT}" ${ARGUMENTS}
    RESULT_VARIABLE status
    ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "The export exited with ${status}: ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}" "${EXPECTED}"
    RESULT_VARIABLE different)
if(different)
    message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}")
endif()
