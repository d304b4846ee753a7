# The request service: every outcome and the exactly-once rule on a fake port with the
# test's clock, and once against the simulated meter.
qetra_add_test(modbus_request_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/EngineTestSupport.h
        ${CMAKE_CURRENT_LIST_DIR}/RequestServiceTest.cpp
    LIBS qetra_modbus)
if(TARGET qetra_test_meter_sim)
    target_link_libraries(modbus_request_tests PRIVATE qetra_test_meter_sim)
    target_compile_definitions(modbus_request_tests PRIVATE QETRA_WITH_METER_SIM=1)
endif()
