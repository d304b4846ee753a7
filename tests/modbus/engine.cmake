# The transaction engine, its watchers and the modem link, on a fake serial line; what the
# engine does with a port that is no serial line.
qetra_add_test(modbus_engine_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/EngineTestSupport.h
        ${CMAKE_CURRENT_LIST_DIR}/TqvModbusTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ModemLinkTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PortSeamTest.cpp
    LIBS qetra_modbus)

# The engine over the real serial port against a scripted meter on a pseudo-terminal.
add_library(qetra_pty_responder STATIC
    ${CMAKE_CURRENT_LIST_DIR}/PtyResponder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PtyResponder.h)
target_include_directories(qetra_pty_responder PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_pty_responder PUBLIC qetra_modbus)
qetra_add_test(modbus_engine_line_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/EngineLineTest.cpp
    LIBS qetra_modbus qetra_pty_responder)
# ... and against the simulated meter, whose replies come in pieces behind junk.
if(TARGET qetra_test_meter_sim)
    target_link_libraries(modbus_engine_line_tests PRIVATE qetra_test_meter_sim)
    target_compile_definitions(modbus_engine_line_tests PRIVATE QETRA_WITH_METER_SIM=1)
endif()

# The search for a meter, against the simulated meter and against a silent line.
if(TARGET qetra_test_meter_sim)
    qetra_add_test(meter_search_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/MeterSearchTest.cpp
        LIBS qetra_modbus qetra_pty_responder qetra_test_meter_sim)
endif()

# The port to a network converter over real connections on 127.0.0.1, and its framing.
qetra_add_test(modbus_network_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/NetworkPortTest.cpp
    LIBS qetra_modbus)
