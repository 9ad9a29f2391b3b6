# The one version of the chain: the number of project(VERSION), and where the sources are a
# git checkout, what `git describe` says of it (taken when CMake configures). --version shows
# CHAIN_VERSION_TEXT through the generated header ChainVersion.h, as do the Windows version
# resources; the packages are named with CHAIN_VERSION.
set(CHAIN_VERSION ${PROJECT_VERSION})
set(CHAIN_VERSION_TEXT ${PROJECT_VERSION})
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --always --dirty
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE CHAIN_GIT_DESCRIBE OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE CHAIN_GIT_RESULT ERROR_QUIET)
  if(CHAIN_GIT_RESULT EQUAL 0 AND CHAIN_GIT_DESCRIBE)
    set(CHAIN_VERSION_TEXT "${PROJECT_VERSION} (git ${CHAIN_GIT_DESCRIBE})")
  endif()
endif()
set(CHAIN_VERSION_HEADER_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ChainVersion.h.in ${CHAIN_VERSION_HEADER_DIR}/ChainVersion.h @ONLY)
