# imaging: the TIFF page source on libtiff (open, count, select, measure, turn, scale, draw) and the BMP
# bitmap class.
list(APPEND FOLIVANT_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/TiffImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TiffImageDraw.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TiffSource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IfdChain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TiffPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageTransform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Resampler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MonoShrink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DIB.cpp
)
