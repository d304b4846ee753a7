# Help viewer with its rich-text reader, about box, calibration count dialogs.

# The reader needs no window: QtGui's text document is all it fills.
add_library(qetra_rtfreader STATIC
    ${CMAKE_CURRENT_LIST_DIR}/RtfReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RtfReader.h
    ${CMAKE_CURRENT_LIST_DIR}/RtfCodePages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RtfCodePages.h)
target_include_directories(qetra_rtfreader PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_rtfreader PUBLIC Qt6::Gui)

add_library(qetra_appdialogs STATIC
    ${CMAKE_CURRENT_LIST_DIR}/AboutText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutText.h
    ${CMAKE_CURRENT_LIST_DIR}/frmHelp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmHelp.h
    ${CMAKE_CURRENT_LIST_DIR}/frmAbout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmAbout.h
    ${CMAKE_CURRENT_LIST_DIR}/frmCount.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmCount.h)
target_include_directories(qetra_appdialogs PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_appdialogs PUBLIC qetra_rtfreader qetra_shell_core qetra_version Qt6::Widgets
    Qt6::PrintSupport)
