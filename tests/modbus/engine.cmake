# The transaction engine, its watchers and the modem link, on a fake port.
qetra_add_test(modbus_engine_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/EngineTestSupport.h
        ${CMAKE_CURRENT_LIST_DIR}/TqvModbusTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ModemLinkTest.cpp
    LIBS qetra_modbus)
