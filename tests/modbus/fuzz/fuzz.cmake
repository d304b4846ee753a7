# libFuzzer targets over the frame code; built only with -DQETRA_FUZZ=ON and clang.
# They compile the frame sources themselves so that coverage instrumentation reaches
# them without touching the library the other programs link.
set(QETRA_FRAME_SOURCES
    ${PROJECT_SOURCE_DIR}/src/modbus/Crc16.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/RtuFrame.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/ReplyEvents.cpp)

foreach(name fuzz_message fuzz_reply)
    add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp ${QETRA_FRAME_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src/modbus)
    target_link_libraries(${name} PRIVATE Qt6::Core)
    # Keep QByteArray's index checks in an optimised build: they catch reads past the
    # end that land in spare capacity, where AddressSanitizer sees nothing.
    target_compile_definitions(${name} PRIVATE QT_FORCE_ASSERTS)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
                           -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endforeach()
