# Test fixtures for the real services. A test names what it needs with
#   tapelark_uses(TEST_NAME pulseaudio xvfb)
# or, for gtest_discover_tests, passes PROPERTIES ${TAPELARK_PULSEAUDIO_PROPERTIES}.
# A test executable that draws on the Xvfb is run on it with
#   tapelark_on_display(TARGET)
# and an add_test command by starting with ${TAPELARK_ON_DISPLAY}.
set(TAPELARK_SERVICES_DIR ${CMAKE_BINARY_DIR}/test-services)
set(TAPELARK_PULSE_DIR ${TAPELARK_SERVICES_DIR}/pulse)
set(TAPELARK_XVFB_DIR ${TAPELARK_SERVICES_DIR}/xvfb)
# "auto": each run takes a free display number, so runs never collide.
if(CMAKE_CROSSCOMPILING)
  set(TAPELARK_WINE_DISPLAY "auto" CACHE STRING "X display of the Windows tests' Xvfb, or auto")
  set(_display ${TAPELARK_WINE_DISPLAY})
else()
  set(TAPELARK_TEST_DISPLAY "auto" CACHE STRING "X display of the tests' own Xvfb, or auto")
  set(_display ${TAPELARK_TEST_DISPLAY})
endif()
set(TAPELARK_ON_DISPLAY bash ${CMAKE_CURRENT_LIST_DIR}/on-display ${TAPELARK_XVFB_DIR})

# A service as the fixture `name`: `SCRIPT start ARGS...` sets it up and
# `SCRIPT stop ARGS...` takes it down, each run by LAUNCHER when one is given.
function(tapelark_service name script)
  cmake_parse_arguments(arg "" "" "LAUNCHER" ${ARGN})
  foreach(step start stop)
    add_test(NAME service.${name}.${step}
             COMMAND ${arg_LAUNCHER} bash ${script} ${step} ${arg_UNPARSED_ARGUMENTS})
  endforeach()
  set_tests_properties(service.${name}.start PROPERTIES FIXTURES_SETUP ${name})
  set_tests_properties(service.${name}.stop PROPERTIES FIXTURES_CLEANUP ${name})
endfunction()

tapelark_service(xvfb ${CMAKE_CURRENT_LIST_DIR}/xvfb ${_display} ${TAPELARK_XVFB_DIR})

# Recordings keep their takes under XDG_STATE_HOME: the tests' own, so that
# a test that kills a recorder never leaves a take in the user's home.
set(TAPELARK_TEST_STATE "XDG_STATE_HOME=${TAPELARK_SERVICES_DIR}/state")
set(TAPELARK_PULSEAUDIO_ENV
    ${TAPELARK_TEST_STATE}
    "PULSE_RUNTIME_PATH=${TAPELARK_PULSE_DIR}"
    "PULSE_STATE_PATH=${TAPELARK_PULSE_DIR}/state"
    "PULSE_SERVER=unix:${TAPELARK_PULSE_DIR}/native")
set(TAPELARK_PIPEWIRE_DIR ${TAPELARK_SERVICES_DIR}/pipewire)
set(TAPELARK_PIPEWIRE_ENV
    ${TAPELARK_TEST_STATE}
    "TAPELARK_PIPEWIRE=1"
    "PULSE_SERVER=unix:${TAPELARK_PIPEWIRE_DIR}/runtime/pulse/native")

tapelark_service(pulseaudio ${CMAKE_CURRENT_LIST_DIR}/pulse ${TAPELARK_PULSE_DIR})

if(NOT CMAKE_CROSSCOMPILING)
  # Headless PipeWire with its PulseAudio server, for the engine's tests
  # that must hold on both servers.
  tapelark_service(pipewire ${CMAKE_CURRENT_LIST_DIR}/pipewire ${TAPELARK_PIPEWIRE_DIR})
  # Headless weston with XWayland: a Wayland desktop, and an X11 window
  # manager without a client list that ignores activation requests. A
  # command runs on it (its X display and its Wayland socket) with ${TAPELARK_ON_WESTON}.
  set(TAPELARK_WESTON_DIR ${TAPELARK_SERVICES_DIR}/weston)
  tapelark_service(weston ${CMAKE_CURRENT_LIST_DIR}/weston ${TAPELARK_WESTON_DIR})
  set(TAPELARK_ON_WESTON bash ${CMAKE_CURRENT_LIST_DIR}/weston run ${TAPELARK_WESTON_DIR})
endif()

# The launcher goes before the test's command and before the listing of its
# cases; older CMake knows it only as the emulator.
function(tapelark_on_display target)
  set_target_properties(${target} PROPERTIES TEST_LAUNCHER "${TAPELARK_ON_DISPLAY}")
  if(NOT CMAKE_CROSSCOMPILING)
    set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${TAPELARK_ON_DISPLAY}")
  endif()
endfunction()

string(REPLACE ";" "\\;" _pulse_env "${TAPELARK_PULSEAUDIO_ENV}")
set(TAPELARK_PULSEAUDIO_PROPERTIES FIXTURES_REQUIRED pulseaudio ENVIRONMENT "${_pulse_env}")
set(TAPELARK_XVFB_PROPERTIES FIXTURES_REQUIRED xvfb)

function(tapelark_uses test)
  foreach(service IN LISTS ARGN)
    if(service STREQUAL "pulseaudio")
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${TAPELARK_PULSEAUDIO_ENV})
    elseif(service STREQUAL "pipewire")
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${TAPELARK_PIPEWIRE_ENV})
    elseif(NOT service MATCHES "^(xvfb|wine|weston)$")
      message(FATAL_ERROR "unknown test service ${service}")
    endif()
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${service})
  endforeach()
endfunction()

# The Windows build runs every test under Wine: a fresh private prefix, its
# windows on an Xvfb of their own. The host audio drivers are off unless a
# test names pulseaudio: the device then opens, records nothing and saves a
# valid empty WAVE file, the same on every machine.
if(CMAKE_CROSSCOMPILING)
  set(TAPELARK_WINE_PREFIX ${TAPELARK_SERVICES_DIR}/wine-prefix)
  # A 32-bit program is tested on a 32-bit Windows.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TAPELARK_WINE_ARCH win32)
  else()
    set(TAPELARK_WINE_ARCH win64)
  endif()
  set(TAPELARK_WINE_COMMON_ENV "WINEDEBUG=-all" "WINEDLLOVERRIDES=winealsa.drv,winepulse.drv=d")
  set(TAPELARK_WINE_ENV
      "WINEPREFIX=${TAPELARK_WINE_PREFIX}" "WINEARCH=${TAPELARK_WINE_ARCH}" ${TAPELARK_WINE_COMMON_ENV})
  # Every Windows test executable runs under Wine on the Xvfb.
  set(TAPELARK_WINE_LOADER ${CMAKE_CROSSCOMPILING_EMULATOR})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAPELARK_ON_DISPLAY} ${CMAKE_CROSSCOMPILING_EMULATOR})

  # A Wine prefix as a fixture named `service`, made fresh by its start test.
  function(tapelark_wine_prefix service prefix)
    tapelark_service(${service} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine ${prefix}
                     LAUNCHER ${TAPELARK_ON_DISPLAY})
    set_tests_properties(service.${service}.start service.${service}.stop PROPERTIES
                         ENVIRONMENT "${ARGN}" FIXTURES_REQUIRED xvfb)
  endfunction()

  tapelark_wine_prefix(wine ${TAPELARK_WINE_PREFIX} ${TAPELARK_WINE_ENV})

  string(REPLACE ";" "\\;" _wine_env "${TAPELARK_WINE_ENV}")
  set(TAPELARK_WINE_PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${_wine_env}")
  # Under Wine a test needs the prefix whatever else it names; the prefix
  # brings the display with it.
  set(TAPELARK_PULSEAUDIO_PROPERTIES ${TAPELARK_WINE_PROPERTIES})
  set(TAPELARK_XVFB_PROPERTIES ${TAPELARK_WINE_PROPERTIES})

  # A 32-bit program on 64-bit Windows (WoW64, with the registry's 32-bit
  # view under WOW6432Node): a second, win64 prefix that a test asks for by
  # naming the service wow64.
  if(TAPELARK_WINE_ARCH STREQUAL "win32")
    set(TAPELARK_WOW64_PREFIX ${TAPELARK_SERVICES_DIR}/wow64-prefix)
    set(TAPELARK_WOW64_ENV "WINEPREFIX=${TAPELARK_WOW64_PREFIX}" "WINEARCH=win64"
        ${TAPELARK_WINE_COMMON_ENV})
    tapelark_wine_prefix(wow64 ${TAPELARK_WOW64_PREFIX} ${TAPELARK_WOW64_ENV})
  endif()

  function(tapelark_uses test)
    if("wow64" IN_LIST ARGN)
      if(NOT TAPELARK_WOW64_PREFIX)
        message(FATAL_ERROR "${test}: a win64 prefix for 32-bit programs needs the 32-bit build")
      endif()
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${TAPELARK_WOW64_ENV})
      set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wow64)
      return()
    endif()
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${TAPELARK_WINE_ENV})
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine)
    # A test that names pulseaudio has Wine's PulseAudio driver on, against
    # the private server.
    if("pulseaudio" IN_LIST ARGN)
      set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${TAPELARK_PULSEAUDIO_ENV}
                   "WINEDLLOVERRIDES=winealsa.drv=d")
      set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED pulseaudio)
    endif()
  endfunction()

  # Listing a test executable's cases means running it, at build time and
  # outside any prefix; under Wine each executable is one test instead, run
  # in the prefix. Same signature, so the test folders need no change.
  function(gtest_discover_tests target)
    cmake_parse_arguments(arg "NO_PRETTY_TYPES;NO_PRETTY_VALUES"
        "TEST_PREFIX;TEST_SUFFIX;WORKING_DIRECTORY;TEST_LIST;DISCOVERY_TIMEOUT;XML_OUTPUT_DIR;DISCOVERY_MODE;TEST_FILTER"
        "EXTRA_ARGS;PROPERTIES" ${ARGN})
    set(name ${arg_TEST_PREFIX}${target}${arg_TEST_SUFFIX})
    if(NOT arg_WORKING_DIRECTORY)
      set(arg_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    endif()
    set(filter)
    if(arg_TEST_FILTER)
      set(filter --gtest_filter=${arg_TEST_FILTER})
    endif()
    add_test(NAME ${name} COMMAND ${target} ${filter} ${arg_EXTRA_ARGS}
             WORKING_DIRECTORY ${arg_WORKING_DIRECTORY})
    if(arg_PROPERTIES)
      set_tests_properties(${name} PROPERTIES ${arg_PROPERTIES})
    endif()
    tapelark_uses(${name})
  endfunction()
endif()
