# Application services of the framework library: drawing requests and GDI helpers, control lists,
# dispatch-call undo, measurement units, colour palettes, options, profile, document records and
# styles. Included from this folder's CMakeLists.txt once the Tarn target exists.

# The drawing controls' interfaces and records (tagDrawOptions, IBaseControl, MeasurementUnit) come
# from their type library description; the header is generated here so that the framework library
# does not depend on the controls server being part of the build.
tarn_add_idl(Tarn ${CMAKE_SOURCE_DIR}/controls/base/TarnControls.idl)

set(TARN_SERVICES_DIR ${CMAKE_CURRENT_LIST_DIR})
target_sources(Tarn PRIVATE
    ${TARN_SERVICES_DIR}/units/ExpressionEvaluator.cpp
    ${TARN_SERVICES_DIR}/units/MeasurementUnits.cpp
    ${TARN_SERVICES_DIR}/units/UnitText.cpp
    ${TARN_SERVICES_DIR}/units/UnitDataExchange.cpp
    ${TARN_SERVICES_DIR}/palette/ColorPalette.cpp
    ${TARN_SERVICES_DIR}/palette/DefaultColorPalette.cpp
    ${TARN_SERVICES_DIR}/drawing/DispParams.cpp
    ${TARN_SERVICES_DIR}/drawing/DrawOptions.cpp
    ${TARN_SERVICES_DIR}/drawing/GdiSelectors.cpp
    ${TARN_SERVICES_DIR}/drawing/SitesContours.cpp
    ${TARN_SERVICES_DIR}/drawing/ControlInfo.cpp
    ${TARN_SERVICES_DIR}/drawing/ComHelpers.cpp
    ${TARN_SERVICES_DIR}/controllist/ComControlList.cpp
    ${TARN_SERVICES_DIR}/options/TarnOptions.cpp
    ${TARN_SERVICES_DIR}/options/OptionsItems.cpp
    ${TARN_SERVICES_DIR}/options/OptionsManager.cpp
    ${TARN_SERVICES_DIR}/options/OptionsSections.cpp
    ${TARN_SERVICES_DIR}/styles/Styles.cpp
    ${TARN_SERVICES_DIR}/styles/StyleLibrary.cpp
    ${TARN_SERVICES_DIR}/records/SiteIcon.cpp
    ${TARN_SERVICES_DIR}/records/DocSummaryInfo.cpp
    ${TARN_SERVICES_DIR}/records/IconImage.cpp
    ${TARN_SERVICES_DIR}/records/PropertySetCheck.cpp
    ${TARN_SERVICES_DIR}/records/SiteData.cpp
    ${TARN_SERVICES_DIR}/profile/DialogInfo.cpp
    ${TARN_SERVICES_DIR}/profile/Profiler.cpp
    ${TARN_SERVICES_DIR}/undo/UndoData.cpp
    ${TARN_SERVICES_DIR}/undo/UndoManager.cpp
)
target_include_directories(Tarn PUBLIC
    ${TARN_SERVICES_DIR}/units
    ${TARN_SERVICES_DIR}/palette
    ${TARN_SERVICES_DIR}/drawing
    ${TARN_SERVICES_DIR}/controllist
    ${TARN_SERVICES_DIR}/options
    ${TARN_SERVICES_DIR}/styles
    ${TARN_SERVICES_DIR}/records
    ${TARN_SERVICES_DIR}/profile
    ${TARN_SERVICES_DIR}/undo)
target_link_libraries(Tarn PUBLIC user32 gdi32 winspool)

foreach(concern units palette undo drawing options styles records profile)
  add_subdirectory(${TARN_SERVICES_DIR}/${concern}/tests ${CMAKE_CURRENT_BINARY_DIR}/${concern}/tests)
endforeach()
