# The simulated meter: its model, framing and faults without a terminal, then
# the program itself on a pseudo-terminal, checked by mbpoll and a small master.
if(TARGET meter-sim)
    qetra_add_test(MeterSimCoreTest
        SOURCES
            meter-sim/MeterModelTest.cpp
            meter-sim/SlaveProtocolTest.cpp
            meter-sim/RtuReceiverTest.cpp
            meter-sim/FaultInjectorTest.cpp
            meter-sim/SimOptionsTest.cpp
        LIBS meter_sim_core)

    qetra_add_test(MeterSimLineTest
        SOURCES
            meter-sim/SimProcess.cpp meter-sim/SimProcess.h
            meter-sim/MeterSimLineTest.cpp
        LIBS meter_sim_core qetra_serial qetra_test_meter_sim qetra_version)
endif()

# A short soak: the program's master against the meter with faults injected.
if(TARGET meter-sim AND TARGET qetra-poll)
    if(QETRA_SANITIZE)
        set(soak_memory 0)  # the sanitizers' quarantine grows by design
    else()
        set(soak_memory 1)
    endif()
    add_test(NAME MeterSimSoakShort COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/soak.sh 300)
    set_tests_properties(MeterSimSoakShort PROPERTIES
        ENVIRONMENT "BUILD_DIR=${CMAKE_BINARY_DIR};SOAK_TIMEOUT_MS=500;SOAK_CHECK_MEMORY=${soak_memory}"
        TIMEOUT 300)
endif()

# libFuzzer target over the meter's framing and slave (clang, -DQETRA_FUZZ=ON):
#   build-fuzz/fuzz_meter_sim -max_total_time=60
if(QETRA_FUZZ)
    set(meter_sim_dir ${PROJECT_SOURCE_DIR}/tools/meter-sim)
    add_executable(fuzz_meter_sim ${CMAKE_CURRENT_LIST_DIR}/meter-sim/fuzz_meter_sim.cpp
        ${meter_sim_dir}/MeterPhysics.cpp ${meter_sim_dir}/MeterModel.cpp
        ${meter_sim_dir}/SlaveProtocol.cpp ${meter_sim_dir}/RtuReceiver.cpp
        ${PROJECT_SOURCE_DIR}/src/modbus/Crc16.cpp)
    target_include_directories(fuzz_meter_sim PRIVATE ${meter_sim_dir}
        ${PROJECT_SOURCE_DIR}/src/modbus)
    target_link_libraries(fuzz_meter_sim PRIVATE Qt6::Core)
    target_compile_options(fuzz_meter_sim PRIVATE -fsanitize=fuzzer,address,undefined
                           -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(fuzz_meter_sim PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
