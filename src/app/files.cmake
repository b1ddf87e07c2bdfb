list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Strings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLineInfo.cpp
)
