# The program's language: the choice at start, the built translations, and a check that
# every text of the code and forms is translated in both .ts files.
qetra_add_test(language_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/LanguageTest.cpp
    LIBS qetra_language)
target_compile_definitions(language_test PRIVATE
    QETRA_LUPDATE="$<TARGET_FILE:Qt6::lupdate>"
    QETRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QETRA_TRANSLATIONS_DIR="${PROJECT_SOURCE_DIR}/resources/translations")

# The operator's boxes on German and Chinese desktops, with Qt's own translations.
if(TARGET qetra_operator_dialogs)
    qetra_add_test(box_language_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/BoxLanguageTest.cpp
        LIBS qetra_language qetra_operator_dialogs)
endif()
