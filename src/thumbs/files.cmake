list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LoaderSchedule.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ThreadThumbLoadWork.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ThumbModel.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DiaStatus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListViewThumb.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ThumbAccessible.cpp
)
