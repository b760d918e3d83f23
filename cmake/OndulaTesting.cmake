enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

# ondula_add_test(<name> SOURCES <files...> LIBS <targets...> [ENVIRONMENT <VAR=value...>])
# One GoogleTest executable, each of its cases registered with ctest.
function(ondula_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ondula_scoped_setting
                        GTest::gtest GTest::gmock GTest::gtest_main)
  # The environment travels as a launcher prefix: list-valued test properties
  # do not survive test discovery.
  set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR "env;QT_QPA_PLATFORM=offscreen;${T_ENVIRONMENT}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name}.")
  # Each case alone hides what one case leaves behind for the next: the whole
  # program also runs once in an order shuffled with the given seed.
  if(ONDULA_SHUFFLE_SEED)
    add_test(NAME ${name}.shuffled
             COMMAND ${name} --gtest_shuffle --gtest_random_seed=${ONDULA_SHUFFLE_SEED})
  endif()
endfunction()

# ondula_add_x11_test(<name> SOURCES <files...> LIBS <targets...> [ENVIRONMENT <VAR=value...>])
# A GoogleTest executable that needs an X display with OpenGL, registered as one
# ctest (one X server for all its cases): under xvfb-run with Qt's xcb platform,
# or offscreen where xvfb-run is missing (its cases then skip themselves, and
# ctest reports the test skipped).
function(ondula_add_x11_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  find_program(ONDULA_XVFB_RUN xvfb-run)
  if(ONDULA_XVFB_RUN)
    set(display ${ONDULA_XVFB_RUN} -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb)
    # With a virtual display at hand a case that skips has lost its context: a failure.
    set(on_skip FAIL_REGULAR_EXPRESSION)
  else()
    set(display env QT_QPA_PLATFORM=offscreen)
    set(on_skip SKIP_REGULAR_EXPRESSION)
  endif()
  add_test(NAME ${name} COMMAND ${display} ${T_ENVIRONMENT} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES ${on_skip} "\\[  SKIPPED \\]")
endfunction()
