# The shell's logic without any window: counters and connected rule, poll schedule,
# shared session state, reply routing, saved settings and window layout, the meters of a
# line (address lists, the bus rotation, each meter's state). QtCore and the
# message strings only.
add_library(qetra_shell_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp ${CMAKE_CURRENT_LIST_DIR}/NumberText.h
    ${CMAKE_CURRENT_LIST_DIR}/LineStatusText.cpp ${CMAKE_CURRENT_LIST_DIR}/LineStatusText.h
    ${CMAKE_CURRENT_LIST_DIR}/NumberInput.cpp ${CMAKE_CURRENT_LIST_DIR}/NumberInput.h
    ${CMAKE_CURRENT_LIST_DIR}/TrafficCounters.cpp ${CMAKE_CURRENT_LIST_DIR}/TrafficCounters.h
    ${CMAKE_CURRENT_LIST_DIR}/PollSchedule.cpp ${CMAKE_CURRENT_LIST_DIR}/PollSchedule.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowTable.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowTable.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowLayout.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowLayout.h
    ${CMAKE_CURRENT_LIST_DIR}/WriteCommand.cpp ${CMAKE_CURRENT_LIST_DIR}/WriteCommand.h
    ${CMAKE_CURRENT_LIST_DIR}/SessionState.cpp ${CMAKE_CURRENT_LIST_DIR}/SessionState.h
    ${CMAKE_CURRENT_LIST_DIR}/ReplyRouting.cpp ${CMAKE_CURRENT_LIST_DIR}/ReplyRouting.h
    ${CMAKE_CURRENT_LIST_DIR}/ValueFreshness.cpp ${CMAKE_CURRENT_LIST_DIR}/ValueFreshness.h
    ${CMAKE_CURRENT_LIST_DIR}/AddressList.cpp ${CMAKE_CURRENT_LIST_DIR}/AddressList.h
    ${CMAKE_CURRENT_LIST_DIR}/BusRotation.cpp ${CMAKE_CURRENT_LIST_DIR}/BusRotation.h
    ${CMAKE_CURRENT_LIST_DIR}/BusMeterState.cpp ${CMAKE_CURRENT_LIST_DIR}/BusMeterState.h
    ${CMAKE_CURRENT_LIST_DIR}/BusOverview.cpp ${CMAKE_CURRENT_LIST_DIR}/BusOverview.h
    ${CMAKE_CURRENT_LIST_DIR}/OperatorDialogs.h
)
target_include_directories(qetra_shell_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_shell_core PUBLIC qetra_modbus Qt6::Core)

# The traffic monitor's rows: what one transaction looks like on the line, and the
# bounded, pausable record of them. QtCore and the Modbus master only.
add_library(qetra_traffic STATIC
    ${CMAKE_CURRENT_LIST_DIR}/TrafficRows.cpp ${CMAKE_CURRENT_LIST_DIR}/TrafficRows.h
    ${CMAKE_CURRENT_LIST_DIR}/TrafficModel.cpp ${CMAKE_CURRENT_LIST_DIR}/TrafficModel.h
)
target_include_directories(qetra_traffic PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_traffic PUBLIC qetra_modbus Qt6::Core)

# Operator dialogs: the message box interface, its QMessageBox form and the scripted form
# the tests answer.
add_library(qetra_operator_dialogs STATIC
    ${CMAKE_CURRENT_LIST_DIR}/OperatorDialogs.cpp ${CMAKE_CURRENT_LIST_DIR}/OperatorDialogs.h
    ${CMAKE_CURRENT_LIST_DIR}/ScriptedDialogs.cpp ${CMAKE_CURRENT_LIST_DIR}/ScriptedDialogs.h
)
target_include_directories(qetra_operator_dialogs PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_operator_dialogs PUBLIC Qt6::Widgets)

# The main window with its child windows and its line, the interface the window
# subsystems reach it through (Shell.h), the COMM settings dialog and the saved settings.
add_library(qetra_app STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp ${CMAKE_CURRENT_LIST_DIR}/Settings.h
    ${CMAKE_CURRENT_LIST_DIR}/Shell.h
    ${CMAKE_CURRENT_LIST_DIR}/frmMain.cpp ${CMAKE_CURRENT_LIST_DIR}/frmMain.h
    ${CMAKE_CURRENT_LIST_DIR}/ChildWindows.cpp ${CMAKE_CURRENT_LIST_DIR}/ChildWindows.h
    ${CMAKE_CURRENT_LIST_DIR}/MeterLine.cpp ${CMAKE_CURRENT_LIST_DIR}/MeterLine.h
    ${CMAKE_CURRENT_LIST_DIR}/LineNoticeBar.cpp ${CMAKE_CURRENT_LIST_DIR}/LineNoticeBar.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowRouting.h
    ${CMAKE_CURRENT_LIST_DIR}/frmComm.cpp ${CMAKE_CURRENT_LIST_DIR}/frmComm.h
    ${CMAKE_CURRENT_LIST_DIR}/frmSearch.cpp ${CMAKE_CURRENT_LIST_DIR}/frmSearch.h
    ${CMAKE_CURRENT_LIST_DIR}/frmTrafficMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/frmTrafficMonitor.h
)
target_include_directories(qetra_app PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_app PUBLIC qetra_shell_core qetra_operator_dialogs qetra_modbus
                      qetra_traffic qetra_serial Qt6::Widgets)
if(TARGET qetra_appdialogs)
    target_link_libraries(qetra_app PUBLIC qetra_appdialogs)
    target_compile_definitions(qetra_app PRIVATE QETRA_HAVE_APPDIALOGS)
endif()
