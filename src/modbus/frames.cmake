# Message strings, request frames, reply search and check, reply unpacking.
target_sources(qetra_modbus PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MessageText.cpp ${CMAKE_CURRENT_LIST_DIR}/MessageText.h
    ${CMAKE_CURRENT_LIST_DIR}/RtuFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReplyEvents.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MbapFrame.cpp ${CMAKE_CURRENT_LIST_DIR}/MbapFrame.h
)
