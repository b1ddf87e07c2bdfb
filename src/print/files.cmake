# print: page lists and print geometry are plain C++; the dialog, the print run and the spooler use Qt's
# printing and libcups.
list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintGeometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintList.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PrintBackend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintDialogExZentrel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintRun.cpp
)
