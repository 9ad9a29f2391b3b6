# add_chain_test(NAME <name> SOURCES <files...> LIBS <targets...> [LOCK <resource>])
# Builds one Qt Test executable and registers it with CTest. GUI tests run on the
# offscreen platform, so no display is needed. LOCK keeps tests that watch the real
# process list from running beside each other; where the machine allows it (root, or
# user namespaces), such a test also runs in a process list of its own, so that other
# programs of the same names on the machine (another checkout's tests, a user's Wine
# programs) can't sway what it sees. When the test ends, everything it started ends too.

# Under Wine (the Windows build's tests, run on Linux) every Windows program of a test sees
# only the processes of its own Wine prefix, which is private already.
if(NOT DEFINED CHAIN_PRIVATE_PROCESS_LIST AND CMAKE_CROSSCOMPILING)
  set(CHAIN_PRIVATE_PROCESS_LIST OFF)
elseif(NOT DEFINED CHAIN_PRIVATE_PROCESS_LIST)
  set(chain_unshare unshare --pid --fork --mount-proc --kill-child)
  execute_process(COMMAND ${chain_unshare} true RESULT_VARIABLE chain_unshare_result
                  OUTPUT_QUIET ERROR_QUIET)
  if(chain_unshare_result EQUAL 0)
    set(chain_private_default ON)
  else()
    set(chain_private_default OFF)
  endif()
  option(CHAIN_PRIVATE_PROCESS_LIST "Run the tests that watch processes in a private process list"
         ${chain_private_default})
  message(STATUS "Tests that watch processes run in a private process list: ${chain_private_default}")
endif()

# Wine hides the variables beginning with QT_ from Windows programs and hands each WINEQT_x
# on as QT_x: a test run through it gets the offscreen platform, Qt's messages on standard
# error (not the debugger's channel) and a Japanese font for the offscreen platform's text.
set(chain_test_environment QT_QPA_PLATFORM=offscreen)
if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine")
  find_path(CHAIN_WINE_FONT_DIR NAMES ipag.ttf NotoSansCJK-Regular.ttc
    PATHS /usr/share/fonts/opentype/ipafont-gothic /usr/share/fonts/opentype/noto NO_CMAKE_FIND_ROOT_PATH)
  list(APPEND chain_test_environment WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1
       WINEDEBUG=-all)
  if(CHAIN_WINE_FONT_DIR)
    list(APPEND chain_test_environment WINEQT_QPA_FONTDIR=${CHAIN_WINE_FONT_DIR})
  endif()
endif()

function(add_chain_test)
  cmake_parse_arguments(T "" "NAME;LOCK" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE chain_settings Qt6::Test ${T_LIBS})
  # Tests spell their expected lists with plain literals.
  if(MSVC)
    target_compile_options(${T_NAME} PRIVATE /UQT_NO_CAST_FROM_ASCII)
  else()
    target_compile_options(${T_NAME} PRIVATE -UQT_NO_CAST_FROM_ASCII)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/common/tests)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(T_LOCK STREQUAL "processes" AND CHAIN_PRIVATE_PROCESS_LIST)
    add_test(NAME ${T_NAME} COMMAND unshare --pid --fork --mount-proc --kill-child $<TARGET_FILE:${T_NAME}>)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "${chain_test_environment};CHAIN_TOOLS_DIR=${CMAKE_BINARY_DIR}/tools;CHAIN_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 300)
  if(T_LOCK)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK ${T_LOCK})
  endif()
endfunction()

# add_chain_test_in_time_zone(<test> <zone> [<Windows zone>])
# Registers <test> once more, as <test>_<zone> (the zone's "/" as "_"), with TZ=<zone>: for
# tests of times that are stored in UTC and must read the same in our users' zone. Under Wine
# the Microsoft C runtime reads TZ, and only in its own form ("JST-9": a name and the hours
# west of UTC, summer time by US rules), which glibc reads alike: the test is registered
# there with <Windows zone>, and not at all without one.
function(add_chain_test_in_time_zone test zone)
  set(tz "${zone}")
  if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine")
    if(ARGC LESS 3)
      return()
    endif()
    set(tz "${ARGV2}")
  endif()
  string(REPLACE "/" "_" suffix "${zone}")
  add_test(NAME ${test}_${suffix} COMMAND ${test})
  get_test_property(${test} ENVIRONMENT environment)
  get_test_property(${test} TIMEOUT timeout)
  set_tests_properties(${test}_${suffix} PROPERTIES ENVIRONMENT "${environment};TZ=${tz}" TIMEOUT ${timeout})
  get_test_property(${test} RESOURCE_LOCK lock)
  if(lock)
    set_tests_properties(${test}_${suffix} PROPERTIES RESOURCE_LOCK ${lock})
  endif()
endfunction()
