# The program: the shell with every window subsystem that is built so far. Each subsystem
# registers its windows through one function, called from main().
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/src/serial/TComm.h)
    return() # the serial port component is not built yet
endif()
add_executable(QetraLink ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
target_link_libraries(QetraLink PRIVATE qetra_app)
if(TARGET qetra_views)
    target_link_libraries(QetraLink PRIVATE qetra_views)
    target_compile_definitions(QetraLink PRIVATE QETRA_HAVE_VIEWS)
endif()
if(TARGET qetra_setup)
    target_link_libraries(QetraLink PRIVATE qetra_setup)
    target_compile_definitions(QetraLink PRIVATE QETRA_HAVE_SETUP)
endif()
if(TARGET qetra_calibration)
    target_link_libraries(QetraLink PRIVATE qetra_calibration)
    target_compile_definitions(QetraLink PRIVATE QETRA_HAVE_CALIBRATION)
endif()
