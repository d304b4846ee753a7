# Shell logic without windows: schedule, counters, routing, window layout.
qetra_add_test(shell_logic_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PollScheduleTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/TrafficCountersTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/LineStatusTextTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ReplyRoutingTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/NumberInputTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ValueFreshnessTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/WindowLayoutTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/BusTest.cpp
    LIBS qetra_shell_core qetra_operator_dialogs)

# The main window and the COMM settings dialog, offscreen, with a scripted port. They
# need the serial port component to link.
if(EXISTS ${CMAKE_SOURCE_DIR}/src/serial/TComm.h)
    qetra_add_test(shell_window_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
                ${CMAKE_CURRENT_LIST_DIR}/StoredSettingsTest.cpp
        LIBS qetra_app)
endif()

# End to end: the main window polling the simulated meter over a pseudo-terminal.
if(TARGET meter-sim AND TARGET shell_window_tests)
    qetra_add_test(shell_meter_sim_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/MeterSimTest.cpp
        LIBS qetra_app qetra_test_meter_sim)
endif()

# Not a test: takes the main window's picture for the documentation (run under Xvfb).
if(TARGET meter-sim AND TARGET shell_window_tests)
    add_executable(main_window_screenshot ${CMAKE_CURRENT_LIST_DIR}/MainWindowScreenshot.cpp)
    target_link_libraries(main_window_screenshot PRIVATE qetra_app qetra_language qetra_test_support)
    if(TARGET qetra_views)
        target_link_libraries(main_window_screenshot PRIVATE qetra_views)
        target_compile_definitions(main_window_screenshot PRIVATE QETRA_HAVE_VIEWS)
    endif()
endif()

# The traffic monitor's rows and record, and its window on its own: no line.
qetra_add_test(traffic_monitor_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrafficMonitorTest.cpp
    LIBS qetra_traffic qetra_app qetra_language)
