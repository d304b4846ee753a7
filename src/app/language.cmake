# The program's two translations: the .ts sources in resources/translations, built into
# .qm by lrelease and embedded under :/i18n, and the start-up choice between them.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(QETRA_TS_FILES
    ${PROJECT_SOURCE_DIR}/resources/translations/qetralink_en.ts
    ${PROJECT_SOURCE_DIR}/resources/translations/qetralink_zh_CN.ts)
# Where the texts are: the code and the forms. qetra-poll and meter-sim speak to a
# terminal and stay as they are.
set(QETRA_TS_SCAN ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/resources)
set(QETRA_LUPDATE_OPTIONS -no-obsolete -locations none)

add_library(qetra_language STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Language.cpp ${CMAKE_CURRENT_LIST_DIR}/Language.h)
target_include_directories(qetra_language PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qetra_language PUBLIC Qt6::Core)
qt_add_lrelease(qetra_language TS_FILES ${QETRA_TS_FILES} QM_FILES_OUTPUT_VARIABLE qetra_qm_files)
qt_add_resources(qetra_language qetra_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR}
                 FILES ${qetra_qm_files})

# `cmake --build build --target update_translations` takes every new or changed text of
# the code and forms into both .ts files (marked unfinished until someone translates it).
add_custom_target(update_translations
    COMMAND Qt6::lupdate ${QETRA_LUPDATE_OPTIONS} ${QETRA_TS_SCAN} -ts ${QETRA_TS_FILES}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    VERBATIM)
