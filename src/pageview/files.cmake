list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DataZoom.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClipboardDib.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PagePaintPlan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageRenderWorker.cpp
)
list(APPEND FOLIVANT_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FirstPaintStamp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewImageInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewAccessible.cpp
)
