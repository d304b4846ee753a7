# libFuzzer target over the data log reader of the trends window; built only with
# -DQETRA_FUZZ=ON and clang. It compiles the reader itself so that coverage
# instrumentation reaches it. Run: build-fuzz/fuzz_trend_log tests/views/fuzz/corpus-trend-log
add_executable(fuzz_trend_log ${CMAKE_CURRENT_LIST_DIR}/fuzz_trend_log.cpp
                              ${PROJECT_SOURCE_DIR}/src/views/TrendLogReader.cpp
                              ${PROJECT_SOURCE_DIR}/src/views/TrendLogFields.cpp)
target_link_libraries(fuzz_trend_log PRIVATE qetra_viewlogic)
target_include_directories(fuzz_trend_log PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_compile_options(fuzz_trend_log PRIVATE -fsanitize=fuzzer,address,undefined
                       -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
target_link_options(fuzz_trend_log PRIVATE -fsanitize=fuzzer,address,undefined)
