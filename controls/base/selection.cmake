# The selection control: a rectangular control that stands for a view's selection and moves all its
# controls by one transform. A library of its own so that its tests make it without registration.
set(_sel ${CMAKE_CURRENT_LIST_DIR})
add_library(TarnSelectionControl STATIC
    ${_sel}/selection/SelectionMembership.cpp
    ${_sel}/selection/SelectionForwarding.cpp
    ${_sel}/selection/SelectionListOperations.cpp
    ${_sel}/selection/SelectionPersistence.cpp
    ${_sel}/selection/SelectionDrags.cpp
    ${_sel}/selection/SelectionShapeOperations.cpp)
target_link_libraries(TarnSelectionControl PUBLIC TarnRectControls TarnInsertingObjects TarnControlListHeader)
target_link_libraries(TarnControls PRIVATE TarnSelectionControl)

tarn_add_gtest(TarnSelectionControlTests
    SOURCES ${_sel}/tests/ComEnvironment.cpp ${_sel}/tests/ControlFixtures.cpp
            ${_sel}/rectangular/tests/RectFixtures.cpp ${_sel}/selection/tests/SelectionFixtures.cpp
            ${_sel}/selection/tests/SelectionMembershipTests.cpp ${_sel}/selection/tests/ListTransformTests.cpp
            ${_sel}/selection/tests/SelectionPersistenceTests.cpp ${_sel}/selection/tests/SelectionDragTests.cpp
            ${_sel}/selection/tests/ShapeCommandTests.cpp
            ${_sel}/tests/TestTypeLibrary.rc
    LIBS TarnSelectionControl TarnServerControlList)
target_include_directories(TarnSelectionControlTests PRIVATE ${_sel}/tests ${_sel}/rectangular/tests
                           ${CMAKE_CURRENT_BINARY_DIR}/idl)
set_source_files_properties(${_sel}/tests/TestTypeLibrary.rc PROPERTIES OBJECT_DEPENDS "${TARN_CONTROLS_TLB}")
add_dependencies(TarnSelectionControlTests TarnObjRes)

# Writes a saved selection and a corner table for the independent Python check.
add_executable(TarnSelectionSamples ${_sel}/selection/tests/SelectionSamples.cpp ${_sel}/selection/tests/SelectionFixtures.cpp
               ${_sel}/rectangular/tests/RectFixtures.cpp ${_sel}/tests/ControlFixtures.cpp ${_sel}/tests/TestTypeLibrary.rc)
target_link_libraries(TarnSelectionSamples PRIVATE TarnSelectionControl TarnServerControlList gtest)
target_include_directories(TarnSelectionSamples PRIVATE ${_sel}/tests ${_sel}/rectangular/tests ${CMAKE_CURRENT_BINARY_DIR}/idl)
target_link_options(TarnSelectionSamples PRIVATE -municode)
add_dependencies(TarnSelectionSamples TarnObjRes)
tarn_add_pytest(TarnSelectionCheck SCRIPT ${_sel}/selection/tests/check_selection.py)
