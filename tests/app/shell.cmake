# Shell logic without windows: schedule, counters, routing.
qetra_add_test(shell_logic_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PollScheduleTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/TrafficCountersTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ReplyRoutingTest.cpp
    LIBS qetra_shell_core qetra_operator_dialogs)
