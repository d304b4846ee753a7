# The transaction engine: TqvModbus and the response watcher; the port seam, and the serial
# port behind it with its modem link and watcher and its lost-line recovery, and the
# adapter that puts a TComm there.
target_sources(qetra_modbus PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ModbusPort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SerialLinePort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SerialLinePort.h
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

# The port on a TCP connection to a converter in front of the meter (Modbus TCP, RTU over TCP).
target_sources(qetra_modbus PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/NetworkModbusPort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetworkModbusPort.h
)
