# Widgets and helpers shared by the workbench's windows: the zone tracker, its
# cursor zones, the window timers, the user messages and the error edge, with
# their tests. Included by the
# workbench's CMakeLists; sources include them as "common/...".
include_guard(GLOBAL)
find_package(Qt6 REQUIRED COMPONENTS Widgets)

set(FRALO_UI_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(fralo_ui_common STATIC
    ${FRALO_UI_DIR}/common/rect_tracker.cpp
    ${FRALO_UI_DIR}/common/tracker_cursor.cpp
    ${FRALO_UI_DIR}/common/window_timers.cpp
    ${FRALO_UI_DIR}/common/user_message.cpp
    ${FRALO_UI_DIR}/common/error_edge.cpp
    ${FRALO_UI_DIR}/common/desktop_open.cpp
)
target_link_libraries(fralo_ui_common PUBLIC Qt6::Widgets verodyn)

ondula_add_test(fralo_view_tracker_test
    SOURCES ${FRALO_UI_DIR}/common/tests/rect_tracker_test.cpp
            ${FRALO_UI_DIR}/common/tests/tracker_cursor_test.cpp
    LIBS fralo_ui_common ondula_qt_test_app)
ondula_add_test(fralo_common_test
    SOURCES ${FRALO_UI_DIR}/common/tests/window_timers_test.cpp
            ${FRALO_UI_DIR}/common/tests/error_edge_test.cpp
    LIBS fralo_ui_common ondula_qt_test_app)
