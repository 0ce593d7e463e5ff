# Saving a card as a stand-alone viewer program and sending a card by mail. Plain Win32 over card files,
# so it builds as its own library that the framework library takes in.
set(TARN_VIEWERCOPY_DIR ${CMAKE_CURRENT_LIST_DIR}/viewercopy)

# The writer of program resources lives with the content services; build it here when that folder is not
# part of this build.
if(NOT TARGET tarnreswriter AND NOT "core/content" IN_LIST TARN_FOLDERS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/core/content/resource_writer ${CMAKE_CURRENT_BINARY_DIR}/resource_writer)
endif()

add_library(tarnviewercopy STATIC
    ${TARN_VIEWERCOPY_DIR}/ViewerCopyMessages.cpp
    ${TARN_VIEWERCOPY_DIR}/TemporaryFile.cpp
    ${TARN_VIEWERCOPY_DIR}/ViewerCopyWriter.cpp
    ${TARN_VIEWERCOPY_DIR}/SaveToViewer.cpp
    ${TARN_VIEWERCOPY_DIR}/CardMail.cpp)
target_include_directories(tarnviewercopy PUBLIC ${TARN_VIEWERCOPY_DIR})
target_link_libraries(tarnviewercopy PUBLIC tarnreswriter user32)

# The card document's side: saving itself as a viewer program and mailing itself.
if(TARGET Tarn AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/document/TarnDoc.h)
  target_sources(Tarn PRIVATE ${TARN_VIEWERCOPY_DIR}/TarnDocViewerCopy.cpp ${TARN_VIEWERCOPY_DIR}/TarnDocSendCommands.cpp)
  target_link_libraries(Tarn PUBLIC tarnviewercopy)
endif()

add_subdirectory(${TARN_VIEWERCOPY_DIR}/tests ${CMAKE_CURRENT_BINARY_DIR}/viewercopy_tests)
