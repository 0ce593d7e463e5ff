# The card document of the framework library: page backgrounds, sites with their stored
# controls, pages and page list, the document and its compound file, thumbnails.
# Included from this folder's CMakeLists.txt once the Tarn target exists.
set(TARN_DOCUMENT_DIR ${CMAKE_CURRENT_LIST_DIR})

# The controls' interfaces (IBaseControl, the site's host interfaces) come from their type library
# description; generated here unless the library's services have done it already.
get_property(tarn_idl_outputs TARGET Tarn PROPERTY TARN_IDL_OUTPUTS)
if(NOT tarn_idl_outputs MATCHES "TarnControls.h")
  tarn_add_idl(Tarn ${CMAKE_SOURCE_DIR}/controls/base/TarnControls.idl)
endif()
# The compressed-storage server is reached through COM only; its interfaces come from its IDL.
get_property(tarn_idl_outputs TARGET Tarn PROPERTY TARN_IDL_OUTPUTS)
if(NOT tarn_idl_outputs MATCHES "Mosk.h")
  tarn_add_idl(Tarn ${CMAKE_SOURCE_DIR}/zstore/Mosk.idl)
endif()
target_sources(Tarn PRIVATE
    ${TARN_DOCUMENT_DIR}/background/BackgroundGeometry.cpp
    ${TARN_DOCUMENT_DIR}/background/BackgroundParams.cpp
    ${TARN_DOCUMENT_DIR}/background/TarnBackground.cpp
    ${TARN_DOCUMENT_DIR}/background/TileImageCache.cpp
    ${TARN_DOCUMENT_DIR}/document/ArchiveLimits.cpp
    ${TARN_DOCUMENT_DIR}/document/CompoundFileCheck.cpp
    ${TARN_DOCUMENT_DIR}/document/DocumentRecords.cpp
    ${TARN_DOCUMENT_DIR}/document/DocumentStyle.cpp
    ${TARN_DOCUMENT_DIR}/document/DocumentVersion.cpp
    ${TARN_DOCUMENT_DIR}/document/SaveRoad.cpp
    ${TARN_DOCUMENT_DIR}/document/TarnDoc.cpp
    ${TARN_DOCUMENT_DIR}/document/TarnDocFile.cpp
    ${TARN_DOCUMENT_DIR}/document/TarnDocSounds.cpp
    ${TARN_DOCUMENT_DIR}/document/TarnStrings.cpp
    ${TARN_DOCUMENT_DIR}/document/UnsupportedFormatException.cpp
    ${TARN_DOCUMENT_DIR}/thumbnails/TarnThumbnail.cpp
    ${TARN_DOCUMENT_DIR}/document/TarnPage.cpp
    ${TARN_DOCUMENT_DIR}/site/SiteLayout.cpp
    ${TARN_DOCUMENT_DIR}/site/SiteRecords.cpp
    ${TARN_DOCUMENT_DIR}/site/StoredControls.cpp
    ${TARN_DOCUMENT_DIR}/site/TarnSite.cpp
    ${TARN_DOCUMENT_DIR}/site/SiteDrawing.cpp
    ${TARN_DOCUMENT_DIR}/document/TarnDocDrawing.cpp
)
target_include_directories(Tarn PUBLIC
    ${TARN_DOCUMENT_DIR}/background
    ${TARN_DOCUMENT_DIR}/document
    ${TARN_DOCUMENT_DIR}/site
    ${TARN_DOCUMENT_DIR}/thumbnails
    ${TARN_DOCUMENT_DIR}/geometry)

# The card's sound store lives with the content services; build it here when that folder is not
# part of this build.
if(NOT TARGET tarnsounds AND NOT "core/content" IN_LIST TARN_FOLDERS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/core/content/sounds ${CMAKE_CURRENT_BINARY_DIR}/sounds)
endif()
target_link_libraries(Tarn PUBLIC tarnsounds)

foreach(concern background document site thumbnails)
  add_subdirectory(${TARN_DOCUMENT_DIR}/${concern}/tests ${CMAKE_CURRENT_BINARY_DIR}/${concern}/tests)
endforeach()
