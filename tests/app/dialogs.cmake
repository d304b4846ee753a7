# Help viewer, its rich-text reader, about box, calibration count dialogs.
find_package(Qt6 REQUIRED COMPONENTS Test)

qetra_add_test(rtf_reader_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RtfReaderTest.cpp
    LIBS qetra_rtfreader)
target_compile_definitions(rtf_reader_test PRIVATE
    QETRA_FIXTURES_DIR="${CMAKE_CURRENT_LIST_DIR}/fixtures"
    QETRA_RESOURCES_DIR="${PROJECT_SOURCE_DIR}/resources")

qetra_add_test(about_text_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AboutTextTest.cpp
    LIBS qetra_appdialogs)

qetra_add_test(dialogs_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogsTest.cpp
    LIBS qetra_appdialogs Qt6::Test)

# Not a test: renders the help window, the about box and a count dialog for docs/screenshots.
add_executable(dialog_screenshots ${CMAKE_CURRENT_LIST_DIR}/DialogScreenshots.cpp)
target_link_libraries(dialog_screenshots PRIVATE qetra_appdialogs)

if(QETRA_FUZZ)
    include(${CMAKE_CURRENT_LIST_DIR}/fuzz/rtf.cmake)
    include(${CMAKE_CURRENT_LIST_DIR}/fuzz/settings.cmake)
endif()
