# platform: the outside world behind small interfaces (message boxes, file dialogs, clipboard, mail, help
# window, the print spooler) with one real implementation each, the program's icon set and the contrast
# rules its colours keep.
list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Contrast.cpp
)
# The spooler through libcups belongs to the print module.
list(APPEND FOLIVANT_PRINT_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintBackend.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PlatformQt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HelpWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Icons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FocusFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AccessibleEvents.cpp
)
