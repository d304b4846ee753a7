# qetra-poll against a scripted meter on a pseudo-terminal, and its argument checks.
qetra_add_test(qetra_poll_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/QetraPollTest.cpp
    LIBS qetra_poll_core qetra_pty_responder qetra_test_meter_sim qetra_viewlogic qetra_version)
target_compile_definitions(qetra_poll_tests PRIVATE QETRA_POLL_PATH="$<TARGET_FILE:qetra-poll>")
add_dependencies(qetra_poll_tests qetra-poll)

# The configuration commands against simulated meters: save, compare, apply and clone.
qetra_add_test(qetra_poll_config_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConfigCommandsTest.cpp
    LIBS qetra_setuplogic_config qetra_test_meter_sim)
target_compile_definitions(qetra_poll_config_tests PRIVATE QETRA_POLL_PATH="$<TARGET_FILE:qetra-poll>")
add_dependencies(qetra_poll_config_tests qetra-poll)

# The commissioning report from qetra-poll against meter-sim, read back with poppler-utils.
qetra_add_test(commissioning_report_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommissioningReportTest.cpp
    LIBS qetra_test_meter_sim Qt6::Core)
target_compile_definitions(commissioning_report_tests PRIVATE
    QETRA_POLL_PATH="$<TARGET_FILE:qetra-poll>")
add_dependencies(commissioning_report_tests qetra-poll)

# qetra-poll through a converter on the network: pymodbus, meter-sim as a gateway (and
# mbpoll -m tcp), socat in front of the serial meter-sim.
if(TARGET meter-sim)
    qetra_add_test(qetra_poll_network_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/NetworkPollTest.cpp
        LIBS qetra_test_meter_sim Qt6::Network)
    target_compile_definitions(qetra_poll_network_tests PRIVATE
        QETRA_POLL_PATH="$<TARGET_FILE:qetra-poll>"
        QETRA_PEERS_DIR="${CMAKE_CURRENT_LIST_DIR}/peers")
    add_dependencies(qetra_poll_network_tests qetra-poll meter-sim)
endif()
