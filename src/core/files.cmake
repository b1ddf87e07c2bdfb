# core: the bottom floor that every other folder uses: the string table, the settings store and its
# records, the parsed command line, the command numbers and help topics, the restored window placement.
# Plain C++ on QtCore.
list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Strings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLineInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HelpTopics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowPlacement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AccessibleText.cpp
)
