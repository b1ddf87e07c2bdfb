# print: page lists, print geometry and the report of a quiet run are plain C++; the dialog and the print run use Qt's
# printing and hand the job to the print spooler of the platform folder.
list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintGeometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintReport.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintDialogExZentrel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintSetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DiaPrintSetup.cpp
)
