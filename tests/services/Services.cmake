# Test fixtures for the real services. A test names what it needs with
#   tapelark_uses(TEST_NAME pulseaudio xvfb)
# or, for gtest_discover_tests, passes PROPERTIES ${TAPELARK_PULSEAUDIO_PROPERTIES}.
set(TAPELARK_SERVICES_DIR ${CMAKE_BINARY_DIR}/test-services)
set(TAPELARK_PULSE_DIR ${TAPELARK_SERVICES_DIR}/pulse)
set(TAPELARK_TEST_DISPLAY ":93" CACHE STRING "X display of the tests' own Xvfb")

set(TAPELARK_PULSEAUDIO_ENV
    "PULSE_RUNTIME_PATH=${TAPELARK_PULSE_DIR}"
    "PULSE_STATE_PATH=${TAPELARK_PULSE_DIR}/state"
    "PULSE_SERVER=unix:${TAPELARK_PULSE_DIR}/native")
set(TAPELARK_XVFB_ENV "DISPLAY=${TAPELARK_TEST_DISPLAY}")

if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME service.pulseaudio.start
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pulse start ${TAPELARK_PULSE_DIR})
  add_test(NAME service.pulseaudio.stop
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pulse stop ${TAPELARK_PULSE_DIR})
  set_tests_properties(service.pulseaudio.start PROPERTIES FIXTURES_SETUP pulseaudio)
  set_tests_properties(service.pulseaudio.stop PROPERTIES FIXTURES_CLEANUP pulseaudio)

  add_test(NAME service.xvfb.start
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/xvfb start ${TAPELARK_TEST_DISPLAY}
                   ${TAPELARK_SERVICES_DIR}/xvfb)
  add_test(NAME service.xvfb.stop
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/xvfb stop ${TAPELARK_TEST_DISPLAY}
                   ${TAPELARK_SERVICES_DIR}/xvfb)
  set_tests_properties(service.xvfb.start PROPERTIES FIXTURES_SETUP xvfb)
  set_tests_properties(service.xvfb.stop PROPERTIES FIXTURES_CLEANUP xvfb)
endif()

string(REPLACE ";" "\\;" _pulse_env "${TAPELARK_PULSEAUDIO_ENV}")
set(TAPELARK_PULSEAUDIO_PROPERTIES FIXTURES_REQUIRED pulseaudio ENVIRONMENT "${_pulse_env}")
set(TAPELARK_XVFB_PROPERTIES FIXTURES_REQUIRED xvfb ENVIRONMENT "${TAPELARK_XVFB_ENV}")

function(tapelark_uses test)
  foreach(service IN LISTS ARGN)
    if(service STREQUAL "pulseaudio")
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${TAPELARK_PULSEAUDIO_ENV})
    elseif(service STREQUAL "xvfb")
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${TAPELARK_XVFB_ENV})
    elseif(NOT service STREQUAL "wine")
      message(FATAL_ERROR "unknown test service ${service}")
    endif()
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${service})
  endforeach()
endfunction()
