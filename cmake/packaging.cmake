# The release package: `cmake --build <build> --target package`.
# Windows: a ZIP with QorBVN.dll and its install note at the top, and the test tools (the
# qorhost bench, the simulated Tembrix3.dll, the stand-in host runtime and the examples) in
# test-tools/, kept apart so that nobody installs the simulated library beside the driver.
# Linux: the same layout as a .tar.gz.

set(QOR_TEST_TOOLS_DIR test-tools)
if(WIN32)
  set(QOR_DRIVER_FILE QorBVN.dll)
else()
  set(QOR_DRIVER_FILE libqorbvn.so)
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/package/INSTALL.txt.in ${CMAKE_BINARY_DIR}/package/INSTALL.txt @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/package/TEST-TOOLS.txt.in ${CMAKE_BINARY_DIR}/package/TEST-TOOLS.txt @ONLY)

# The driver.
install(TARGETS QorBVN
        RUNTIME DESTINATION . COMPONENT Driver
        LIBRARY DESTINATION . COMPONENT Driver
        ARCHIVE DESTINATION lib COMPONENT Development EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_BINARY_DIR}/package/INSTALL.txt DESTINATION . COMPONENT Driver)

# The test tools. On Linux qorhost finds the libraries beside it.
if(NOT WIN32)
  set_target_properties(qorhost PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()
install(TARGETS qorhost hostrt Tembrix3
        RUNTIME DESTINATION ${QOR_TEST_TOOLS_DIR} COMPONENT TestTools
        LIBRARY DESTINATION ${QOR_TEST_TOOLS_DIR} COMPONENT TestTools
        ARCHIVE DESTINATION lib COMPONENT Development EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_BINARY_DIR}/package/TEST-TOOLS.txt ${CMAKE_SOURCE_DIR}/docs/scenario-language.md
        DESTINATION ${QOR_TEST_TOOLS_DIR} COMPONENT TestTools)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${QOR_TEST_TOOLS_DIR}/examples COMPONENT TestTools)

set(CPACK_PACKAGE_NAME QorBVN)
set(CPACK_PACKAGE_VENDOR "Tarnovelquist")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QorBVN driver: Brevanost gates and the serial channel for the host application")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME QorBVN-${PROJECT_VERSION}-win32)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME QorBVN-${PROJECT_VERSION}-linux-i386)
endif()
# QorBVN.dll at the top of the archive, not inside a folder of the package's name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENTS_ALL Driver TestTools)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
