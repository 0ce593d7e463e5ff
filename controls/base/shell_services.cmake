# The server's two services to the shell: the new-control notificator of the editing views and
# the resource browser of the main frame and the document template.
set(_ss ${CMAKE_CURRENT_LIST_DIR})
add_library(TarnShellServices STATIC
    ${_ss}/notificator/NewControlNotificator.cpp
    ${_ss}/resourcebrowser/ResourceBrowser.cpp)
target_include_directories(TarnShellServices PUBLIC ${_ss})
target_link_libraries(TarnShellServices PUBLIC TarnControlsFoundation user32)
add_dependencies(TarnShellServices TarnControlsFoundation)
target_link_libraries(TarnControls PRIVATE TarnShellServices)

# The tests make both classes through COM from the built server, registered for the test process.
tarn_add_gtest(TarnShellServicesTests
    SOURCES ${_ss}/tests/ComEnvironment.cpp ${_ss}/tests/ServerClassRegistration.cpp
            ${_ss}/notificator/tests/NewControlNotificatorTests.cpp
            ${_ss}/resourcebrowser/tests/ResourceBrowserTests.cpp
    LIBS TarnControlsFoundation user32)
target_include_directories(TarnShellServicesTests PRIVATE ${_ss})
add_dependencies(TarnShellServicesTests TarnControls TarnObjRes)
