quillmere_add_test(panel_tests OWN_MAIN ON_SCREEN
    SOURCES app/PanelTest.cpp app/FieldWidgetsTest.cpp app/BatchJobTest.cpp
    LIBS quillmere_ui)

if(WIN32)
    # The window itself under Wine: window_paints (tests/CMakeLists.txt).
    return()
endif()

# The real window under a virtual screen (needs xvfb, xdotool, imagemagick, unzip).
add_test(NAME window_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/gui/window_test.sh $<TARGET_FILE:Quillmere> ${CMAKE_CURRENT_BINARY_DIR})
# Alone, so that clicks and key presses are not raced by a loaded machine.
set_tests_properties(window_test PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
