# Shell logic without windows: schedule, counters, routing.
qetra_add_test(shell_logic_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PollScheduleTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/TrafficCountersTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ReplyRoutingTest.cpp
    LIBS qetra_shell_core qetra_operator_dialogs)

# The main window and the COMM settings dialog, offscreen, with a scripted port. They
# need the serial port component to link.
if(EXISTS ${CMAKE_SOURCE_DIR}/src/serial/TComm.h)
    qetra_add_test(shell_window_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
                ${CMAKE_CURRENT_LIST_DIR}/ShellTestSupport.h
        LIBS qetra_app)
endif()
