# libFuzzer target over the help window's rich-text reader; built only with
# -DQETRA_FUZZ=ON and clang. It compiles the reader itself so that coverage
# instrumentation reaches it. Run: build-fuzz/fuzz_rtf tests/app/fuzz/corpus-rtf
add_executable(fuzz_rtf ${CMAKE_CURRENT_LIST_DIR}/fuzz_rtf.cpp
                        ${PROJECT_SOURCE_DIR}/src/app/RtfReader.cpp
                        ${PROJECT_SOURCE_DIR}/src/app/RtfCodePages.cpp)
target_include_directories(fuzz_rtf PRIVATE ${PROJECT_SOURCE_DIR}/src/app)
target_link_libraries(fuzz_rtf PRIVATE Qt6::Gui)
target_compile_definitions(fuzz_rtf PRIVATE QT_FORCE_ASSERTS)
target_compile_options(fuzz_rtf PRIVATE -fsanitize=fuzzer,address,undefined
                       -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
target_link_options(fuzz_rtf PRIVATE -fsanitize=fuzzer,address,undefined)
