# print: page lists, print geometry and the report of a quiet run are plain C++; the dialogs and the print
# run use Qt's printing and hand the job to the print spooler of the platform folder. Those, with the
# spooler itself, make up the print module (FOLIVANT_PRINT_SOURCES), which the program loads at the first
# print command; the rest of the program reaches it through PrintModule.h.
list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintGeometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintReport.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintModule.cpp
)
list(APPEND FOLIVANT_PRINT_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintDialogExZentrel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintSetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DiaPrintSetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintModuleLinked.cpp
)
