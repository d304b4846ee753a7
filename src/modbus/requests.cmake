# One request, one completion: the service on top of the running engine that the
# search, the report, the configuration runs and the command-line poller send through.
target_sources(qetra_modbus PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/RequestService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RequestService.h
)
