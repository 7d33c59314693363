# Runs the console companion (PROGRAM) under EMULATOR with ARGUMENTS (a
# ;-list) and checks its exit status (STATUS) and that OUTPUT is EXPECTED
# byte for byte. OUTPUT is the file the run writes (an export's --output)
# or, with STDOUT on, its standard output redirected as a script's would be:
# no CR before each LF, nothing but the listing. MODEL, when given, is first
# written to TWUS by twus_make.exe (TWUS_MAKE).
if(DEFINED MODEL)
    execute_process(COMMAND ${EMULATOR} "${TWUS_MAKE}" "${MODEL}" -o "${TWUS}"
        RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "twus_make exited with ${status}: ${errors}")
    endif()
endif()
file(REMOVE "${OUTPUT}")
if(STDOUT)
    set(redirect OUTPUT_FILE "${OUTPUT}")
else()
    set(redirect OUTPUT_QUIET)
endif()
execute_process(
    COMMAND ${EMULATOR} "${PROGRAM}" ${ARGUMENTS}
    ${redirect}
    RESULT_VARIABLE status
    ERROR_VARIABLE errors)
if(NOT status EQUAL STATUS)
    message(FATAL_ERROR "${PROGRAM} exited with ${status}, not ${STATUS}: ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}" "${EXPECTED}"
    RESULT_VARIABLE different)
if(different)
    message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}")
endif()
