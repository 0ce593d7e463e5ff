# The rectangular-control layer: frame placement, its records, handles and handle drags. A library
# of its own so that the kind classes and the tests build on it without the server's registration.
set(_rc ${CMAKE_CURRENT_LIST_DIR}/rectangular)
add_library(TarnRectControls STATIC
    ${_rc}/RectControlBase.cpp
    ${_rc}/RectControlBaseDispatch.cpp
    ${_rc}/RectControlBaseDrawing.cpp
    ${_rc}/RectControlBasePlacing.cpp
    ${_rc}/TransformTracking.cpp
    ${_rc}/BitmapCachedControl.cpp)
target_include_directories(TarnRectControls PUBLIC ${_rc})
target_link_libraries(TarnRectControls PUBLIC TarnControlsFoundation tarnrender gdi32)
target_link_libraries(TarnControls PRIVATE TarnRectControls)

tarn_add_gtest(TarnRectControlTests
    SOURCES ${_rc}/tests/RectFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/ComEnvironment.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/ControlFixtures.cpp
            ${_rc}/tests/TransformTests.cpp ${_rc}/tests/DispatchAndRecordTests.cpp
            ${_rc}/tests/TrackingTests.cpp ${_rc}/tests/BitmapCacheTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/TestTypeLibrary.rc
    LIBS TarnRectControls)
target_include_directories(TarnRectControlTests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests ${CMAKE_CURRENT_BINARY_DIR}/idl)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/tests/TestTypeLibrary.rc PROPERTIES OBJECT_DEPENDS "${TARN_CONTROLS_TLB}")
add_dependencies(TarnRectControlTests TarnObjRes)

# Writes transform tables, saved records and handle pictures for the independent Python checks.
add_executable(TarnRectSamples ${_rc}/tests/RectSamples.cpp ${_rc}/tests/RectFixtures.cpp
               ${CMAKE_CURRENT_LIST_DIR}/tests/ControlFixtures.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/TestTypeLibrary.rc)
target_link_libraries(TarnRectSamples PRIVATE TarnRectControls)
target_include_directories(TarnRectSamples PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests ${CMAKE_CURRENT_BINARY_DIR}/idl)
target_link_options(TarnRectSamples PRIVATE -municode)
add_dependencies(TarnRectSamples TarnObjRes)
tarn_add_pytest(TarnRectControlsCheck SCRIPT ${_rc}/tests/check_rect_controls.py)
