# Runs a Qt Test program under the cross-compiling emulator (wine) and prints what it counted: under wine a
# test program's own output does not reach the terminal, so it writes its log to a file, which this prints.
#   cmake -DEMULATOR=wine -DTEST=test_ui.exe -DLOG=ui.txt -P RunQtTest.cmake
file(REMOVE ${LOG})
execute_process(COMMAND ${EMULATOR} ${TEST} -platform offscreen -o ${LOG},txt RESULT_VARIABLE result)
if(EXISTS ${LOG})
    file(READ ${LOG} text)
    message("${text}")
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TEST} failed (${result})")
endif()
