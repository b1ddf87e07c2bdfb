list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CommandTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GuiLookTable.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MainFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainFrameCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolBarEx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GuiLook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MenuAccessible.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameAccessible.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MainFrameFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainFrameOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainFramePlacement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainFramePrint.cpp
)
