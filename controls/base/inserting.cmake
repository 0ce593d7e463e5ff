# The control array and the inserter: the server's helpers that carry sets of controls across
# interfaces and place new controls with the mouse. A library of their own so that their tests make
# them without the server's registration.
set(_ins ${CMAKE_CURRENT_LIST_DIR})
add_library(TarnInsertingObjects STATIC
    ${_ins}/controlarray/ControlArray.cpp
    ${_ins}/inserter/ControlInserter.cpp)
target_include_directories(TarnInsertingObjects PUBLIC ${_ins})
target_link_libraries(TarnInsertingObjects PUBLIC TarnControlsFoundation)
target_link_libraries(TarnControls PRIVATE TarnInsertingObjects)

tarn_add_gtest(TarnControlArrayTests
    SOURCES ${_ins}/tests/ComEnvironment.cpp ${_ins}/controlarray/tests/ControlArrayTests.cpp
    LIBS TarnInsertingObjects)

tarn_add_gtest(TarnControlInserterTests
    SOURCES ${_ins}/tests/ComEnvironment.cpp ${_ins}/tests/ControlFixtures.cpp
            ${_ins}/rectangular/tests/RectFixtures.cpp ${_ins}/inserter/tests/ControlInserterTests.cpp
            ${_ins}/tests/TestTypeLibrary.rc
    LIBS TarnInsertingObjects TarnRectControls)
target_include_directories(TarnControlInserterTests PRIVATE ${_ins}/tests ${_ins}/rectangular/tests
                           ${CMAKE_CURRENT_BINARY_DIR}/idl)
set_source_files_properties(${_ins}/tests/TestTypeLibrary.rc PROPERTIES OBJECT_DEPENDS "${TARN_CONTROLS_TLB}")
add_dependencies(TarnControlInserterTests TarnObjRes)
