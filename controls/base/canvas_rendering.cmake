# The canvas and the rendering object of the server, kept as a library of their own so that their
# tests can make them without the server's registration.
set(_cr ${CMAKE_CURRENT_LIST_DIR})
add_library(TarnCanvasRendering STATIC
    ${_cr}/canvas/DirtyRectList.cpp
    ${_cr}/canvas/CanvasBitmap.cpp
    ${_cr}/canvas/BitmapFlips.cpp
    ${_cr}/canvas/TarnCanvas.cpp
    ${_cr}/rendering/TarnRendering.cpp)
target_include_directories(TarnCanvasRendering PUBLIC ${_cr})
target_link_libraries(TarnCanvasRendering PUBLIC TarnControlsFoundation tarnrender gdi32)
add_dependencies(TarnCanvasRendering TarnControlsFoundation)
target_link_libraries(TarnControls PRIVATE TarnCanvasRendering)

tarn_add_gtest(TarnCanvasTests
    SOURCES ${_cr}/tests/ComEnvironment.cpp ${_cr}/canvas/tests/DirtyRectListTests.cpp
            ${_cr}/canvas/tests/CanvasTests.cpp ${_cr}/rendering/tests/RenderingTests.cpp
    LIBS TarnCanvasRendering)
add_dependencies(TarnCanvasTests TarnControls TarnObjRes)
