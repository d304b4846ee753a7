# The transaction engine: TqvModbus, the response watcher, the modem link and its watcher,
# the lost-line recovery, and the adapter that puts a TComm behind the port seam.
target_sources(qetra_modbus PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TqvModbus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TqvModbus.h
    ${CMAKE_CURRENT_LIST_DIR}/TransactionObserver.h
    ${CMAKE_CURRENT_LIST_DIR}/ResponseWatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResponseWatcher.h
    ${CMAKE_CURRENT_LIST_DIR}/ModemWatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModemWatcher.h
    ${CMAKE_CURRENT_LIST_DIR}/ModemLink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModemLink.h
    ${CMAKE_CURRENT_LIST_DIR}/LineRecovery.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LineRecovery.h
    ${CMAKE_CURRENT_LIST_DIR}/CommModbusPort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommModbusPort.h
)
find_package(Threads REQUIRED)
target_link_libraries(qetra_modbus PUBLIC Threads::Threads)

# The search for a meter whose address or baud rate is unknown, on the engine.
target_sources(qetra_modbus PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MeterSearch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterSearch.h
)
