# The shape-control base and the smart cache over it, and Tarn's control list: the server compiles
# the same class (core/model/controllist) over ClassLib.dll, so that path clients fill the list Tarn
# hands over and the server's own lists are Tarn's.
set(_sh ${CMAKE_CURRENT_LIST_DIR})
# The colour and effect values and their records, shared with the viewer, complete the parts.
set(_shape_data ${CMAKE_SOURCE_DIR}/controls/shapes/color)
set(_control_list ${CMAKE_SOURCE_DIR}/core/model/controllist/ComControlList.cpp)
add_library(TarnControlListHeader INTERFACE)
target_compile_definitions(TarnControlListHeader INTERFACE TARN_API_LOCAL)
target_include_directories(TarnControlListHeader INTERFACE ${CMAKE_SOURCE_DIR}/core/model/controllist
                                                           ${CMAKE_SOURCE_DIR}/core/model/include)
target_link_libraries(TarnControlListHeader INTERFACE classlib)
target_sources(TarnControls PRIVATE ${_control_list})
target_link_libraries(TarnControls PRIVATE TarnControlListHeader)

add_library(TarnShapeControls STATIC
    ${_sh}/shape/ShapeEngine.cpp
    ${_sh}/shape/ColorPart.cpp
    ${_sh}/shape/ColorPartSetters.cpp
    ${_sh}/shape/EffectPart.cpp
    ${_shape_data}/ColorValues.cpp
    ${_shape_data}/ColorContrast.cpp
    ${_shape_data}/EffectValues.cpp
    ${_shape_data}/EffectWarp.cpp
    ${_sh}/shape/ShapeControlBase.cpp
    ${_sh}/shape/ShapeGradients.cpp
    ${_sh}/smartcache/SmartCacheDrawing.cpp
    ${_sh}/smartcache/SmartCacheQueries.cpp
    ${_sh}/smartcache/PathClients.cpp
    ${_sh}/smartcache/ShapeOperations.cpp)
target_include_directories(TarnShapeControls PUBLIC ${_sh}/shape ${_sh}/smartcache ${_shape_data})
target_link_libraries(TarnShapeControls PUBLIC TarnRectControls tarnrender TarnControlListHeader)
target_link_libraries(TarnControls PRIVATE TarnShapeControls)

# The tests hand the server a list of their own making: the same source once more.
add_library(TarnServerControlList STATIC ${_control_list})
target_link_libraries(TarnServerControlList PUBLIC TarnControlListHeader TarnControlsFoundation)

tarn_add_gtest(TarnSmartCacheTests
    SOURCES ${_sh}/smartcache/tests/ShapeFixtures.cpp ${_sh}/rectangular/tests/RectFixtures.cpp
            ${_sh}/tests/ComEnvironment.cpp ${_sh}/tests/ControlFixtures.cpp
            ${_sh}/smartcache/tests/ShapeBaseTests.cpp ${_sh}/smartcache/tests/SmartCacheTests.cpp
            ${_sh}/smartcache/tests/ShapeOperationTests.cpp ${_sh}/smartcache/tests/PathClientTests.cpp
            ${_sh}/tests/TestTypeLibrary.rc
    LIBS TarnShapeControls TarnServerControlList)
target_include_directories(TarnSmartCacheTests PRIVATE ${_sh}/tests ${_sh}/rectangular/tests ${CMAKE_CURRENT_BINARY_DIR}/idl)
add_dependencies(TarnSmartCacheTests TarnObjRes)

# Saved path clients and coverage hit answers for the independent Python check.
add_executable(TarnSmartCacheSamples ${_sh}/smartcache/tests/SmartCacheSamples.cpp
               ${_sh}/smartcache/tests/ShapeFixtures.cpp ${_sh}/rectangular/tests/RectFixtures.cpp
               ${_sh}/tests/ControlFixtures.cpp ${_sh}/tests/TestTypeLibrary.rc)
target_link_libraries(TarnSmartCacheSamples PRIVATE TarnShapeControls)
target_include_directories(TarnSmartCacheSamples PRIVATE ${_sh}/tests ${_sh}/rectangular/tests ${CMAKE_CURRENT_BINARY_DIR}/idl)
target_link_options(TarnSmartCacheSamples PRIVATE -municode)
add_dependencies(TarnSmartCacheSamples TarnObjRes)
tarn_add_pytest(TarnSmartCacheCheck SCRIPT ${_sh}/smartcache/tests/check_smart_cache.py)

# The benchmark (smartcache/bench/cairo_compare.py prints cairo's figure beside it).
add_executable(smartcache-bench ${_sh}/smartcache/bench/SmartCacheBench.cpp ${_sh}/smartcache/tests/ShapeFixtures.cpp
               ${_sh}/rectangular/tests/RectFixtures.cpp ${_sh}/tests/ControlFixtures.cpp)
target_link_libraries(smartcache-bench PRIVATE TarnShapeControls)
target_include_directories(smartcache-bench PRIVATE ${_sh}/smartcache/tests ${_sh}/tests ${_sh}/rectangular/tests)
target_link_options(smartcache-bench PRIVATE -municode)
