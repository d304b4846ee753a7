# The simulated meter: its model, framing and faults without a terminal, then
# the program itself on a pseudo-terminal, checked by mbpoll and a small master.
if(TARGET meter-sim)
    qetra_add_test(MeterSimCoreTest
        SOURCES
            meter-sim/MeterModelTest.cpp
            meter-sim/SlaveProtocolTest.cpp
            meter-sim/RtuReceiverTest.cpp
            meter-sim/FaultInjectorTest.cpp
        LIBS meter_sim_core)

    qetra_add_test(MeterSimLineTest
        SOURCES
            meter-sim/SimProcess.cpp meter-sim/SimProcess.h
            meter-sim/MeterSimLineTest.cpp
        LIBS meter_sim_core qetra_serial)
    target_compile_definitions(MeterSimLineTest PRIVATE
        METER_SIM_PATH="$<TARGET_FILE:meter-sim>")
    add_dependencies(MeterSimLineTest meter-sim)
endif()
