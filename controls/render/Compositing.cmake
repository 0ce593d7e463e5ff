# Compositing (ordered dithering, alpha blending) and coverage-mask list operations of the engine,
# with their tests and the benchmark. Included from this folder's CMakeLists.txt once `tarnrender` exists.
set(_compositing ${CMAKE_CURRENT_LIST_DIR})
target_sources(tarnrender PRIVATE
    ${_compositing}/src/Dither555.cpp
    ${_compositing}/src/AlphaBlendBitmaps.cpp
    ${_compositing}/src/MaskListFormat.cpp
    ${_compositing}/src/MaskList.cpp
    ${_compositing}/src/MaskListFill.cpp)
target_include_directories(tarnrender PUBLIC ${_compositing}/include)

tarn_add_gtest(render_compositing_tests
    SOURCES ${_compositing}/tests/Dither555Test.cpp ${_compositing}/tests/AlphaBlendBitmapsTest.cpp
            ${_compositing}/tests/ImagingEntriesTest.cpp ${_compositing}/tests/MaskListBuilder.cpp
    LIBS tarnrender)
tarn_add_gtest(render_masklist_tests
    SOURCES ${_compositing}/tests/MaskListBuilder.cpp ${_compositing}/tests/MaskListTest.cpp
            ${_compositing}/tests/MaskListFillTest.cpp
    LIBS tarnrender)
