# Help viewer, its rich-text reader, about box, calibration count dialogs.
find_package(Qt6 REQUIRED COMPONENTS Test)

qetra_add_test(rtf_reader_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RtfReaderTest.cpp
    LIBS qetra_rtfreader)
target_compile_definitions(rtf_reader_test PRIVATE
    QETRA_FIXTURES_DIR="${CMAKE_CURRENT_LIST_DIR}/fixtures")
