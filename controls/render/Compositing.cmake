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

# Shape scenes shared by the accuracy check and the benchmark.
add_library(tarnrender_scenes STATIC ${_compositing}/tests/scenes/ShapeScene.cpp)
target_include_directories(tarnrender_scenes PUBLIC ${_compositing}/tests)
target_link_libraries(tarnrender_scenes PUBLIC tarnrender)
tarn_add_gtest(render_scene_tests
    SOURCES ${_compositing}/tests/scenes/ShapeSceneTest.cpp
    LIBS tarnrender_scenes tarnrender)

# Coverage lists recorded by the rasteriser itself.
tarn_add_gtest(render_recorded_coverage_tests
    SOURCES ${_compositing}/tests/MaskListEngineTest.cpp
    LIBS tarnrender_scenes tarnrender)

# Accuracy against exact pixel areas, and replay of the recorded coverage lists.
add_executable(accuracy-render ${_compositing}/tests/accuracy/AccuracyRender.cpp)
target_link_libraries(accuracy-render PRIVATE tarnrender_scenes tarnrender)
tarn_add_pytest(render_accuracy SCRIPT ${_compositing}/tests/accuracy/accuracy_check.py)

# The benchmark: a console program run by hand, not a test.
add_executable(render-bench ${_compositing}/bench/BenchWorkloads.cpp ${_compositing}/bench/OperationWorkloads.cpp
    ${_compositing}/bench/RenderBench.cpp)
target_link_libraries(render-bench PRIVATE tarnrender_scenes tarnrender)
tarn_add_pytest(render_bench_dump SCRIPT ${_compositing}/bench/dump_format_check.py)
