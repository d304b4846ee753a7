# libFuzzer target over the meter configuration file reader; built only with
# -DQETRA_FUZZ=ON and clang. It compiles the reader itself so that coverage
# instrumentation reaches it. Run: build-fuzz/fuzz_config tests/setup/fuzz/corpus-config
add_executable(fuzz_config ${CMAKE_CURRENT_LIST_DIR}/fuzz_config.cpp
                           ${PROJECT_SOURCE_DIR}/src/setup/MeterConfigFile.cpp)
target_link_libraries(fuzz_config PRIVATE qetra_setuplogic_config)
target_compile_definitions(fuzz_config PRIVATE QETRA_VERSION_TEXT="${PROJECT_VERSION}")
target_include_directories(fuzz_config PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_options(fuzz_config PRIVATE -fsanitize=fuzzer,address,undefined
                       -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
target_link_options(fuzz_config PRIVATE -fsanitize=fuzzer,address,undefined)
