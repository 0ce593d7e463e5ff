# The application object of the library, its start-up and the interface the drawing controls call
# back into. Included from this folder's CMakeLists.txt once the Tarn target exists.
set(TARN_APP_DIR ${CMAKE_CURRENT_LIST_DIR}/app)
get_property(tarn_idl_outputs TARGET Tarn PROPERTY TARN_IDL_OUTPUTS)
if(NOT tarn_idl_outputs MATCHES "TarnControls.h")
  tarn_add_idl(Tarn ${CMAKE_SOURCE_DIR}/controls/base/TarnControls.idl)
endif()
target_sources(Tarn PRIVATE
    ${TARN_APP_DIR}/TarnApp.cpp
    ${TARN_APP_DIR}/TarnAppCommands.cpp
    ${TARN_APP_DIR}/TarnAppInterface.cpp
    ${TARN_APP_DIR}/TarnLibrary.cpp)
target_include_directories(Tarn PUBLIC ${TARN_APP_DIR})
target_link_libraries(Tarn PUBLIC comdlg32)
if(TARGET TarnRes)
  add_dependencies(Tarn TarnRes)
endif()

add_subdirectory(${TARN_APP_DIR}/tests ${CMAKE_CURRENT_BINARY_DIR}/app_tests)
