# Message strings, request frames, reply search and check, reply unpacking.
qetra_add_test(modbus_frames_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/RtuFrameTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ReplyEventsTest.cpp
    LIBS qetra_modbus)

if(QETRA_FUZZ)
    include(${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz.cmake)
endif()
