list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FolivantDoc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FolivantData.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecentFileList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SaveCopy.cpp
)
