# libFuzzer targets over the stored settings and layout and the number reader; built only
# with -DQETRA_FUZZ=ON and clang. They compile the readers themselves so that coverage
# instrumentation reaches them.
#   build-fuzz/fuzz_settings tests/app/fuzz/corpus-settings
#   build-fuzz/fuzz_number tests/app/fuzz/corpus-number
set(qetra_fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
add_executable(fuzz_settings ${CMAKE_CURRENT_LIST_DIR}/fuzz_settings.cpp
                             ${PROJECT_SOURCE_DIR}/src/app/Settings.cpp
                             ${PROJECT_SOURCE_DIR}/src/app/AddressList.cpp
                             ${PROJECT_SOURCE_DIR}/src/app/WindowLayout.cpp
                             ${PROJECT_SOURCE_DIR}/src/app/WindowTable.cpp
                             ${PROJECT_SOURCE_DIR}/src/serial/PortName.cpp)
target_include_directories(fuzz_settings PRIVATE ${PROJECT_SOURCE_DIR}/src/app
                           ${PROJECT_SOURCE_DIR}/src/modbus ${PROJECT_SOURCE_DIR}/src/serial)
target_link_libraries(fuzz_settings PRIVATE Qt6::Core)
target_include_directories(fuzz_settings PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_options(fuzz_settings PRIVATE ${qetra_fuzz_flags})
target_link_options(fuzz_settings PRIVATE -fsanitize=fuzzer,address,undefined)

add_executable(fuzz_number ${CMAKE_CURRENT_LIST_DIR}/fuzz_number.cpp
                           ${PROJECT_SOURCE_DIR}/src/app/NumberInput.cpp
                           ${PROJECT_SOURCE_DIR}/src/app/NumberText.cpp)
target_include_directories(fuzz_number PRIVATE ${PROJECT_SOURCE_DIR}/src/app)
target_link_libraries(fuzz_number PRIVATE Qt6::Core)
target_include_directories(fuzz_number PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_options(fuzz_number PRIVATE ${qetra_fuzz_flags})
target_link_options(fuzz_number PRIVATE -fsanitize=fuzzer,address,undefined)
