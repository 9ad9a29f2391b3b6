# add_chain_test(NAME <name> SOURCES <files...> LIBS <targets...> [LOCK <resource>])
# Builds one Qt Test executable and registers it with CTest. GUI tests run on the
# offscreen platform, so no display is needed. LOCK keeps tests that watch the real
# process list from running beside each other.
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
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CHAIN_TOOLS_DIR=${CMAKE_BINARY_DIR}/tools;CHAIN_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 300)
  if(T_LOCK)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK ${T_LOCK})
  endif()
endfunction()
