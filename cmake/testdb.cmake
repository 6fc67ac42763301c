# The generated test database (800 records of varied shapes).
set(TEST_DB_DIR ${CMAKE_BINARY_DIR}/testdb)
corvelle_host_tool(SYNTHDB corvelle-synthdb)
add_custom_command(
  OUTPUT ${TEST_DB_DIR}/testdb.rc
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TEST_DB_DIR}
  COMMAND ${SYNTHDB} ${TEST_DB_DIR} ${TEST_DB_DIR}/testdb.rc 800
  DEPENDS ${SYNTHDB_DEPENDS}
  COMMENT "Generating the test database")
add_custom_target(corvelle_testdb DEPENDS ${TEST_DB_DIR}/testdb.rc)
if(TARGET corvelle-cli)
  add_dependencies(corvelle-cli corvelle_testdb)
endif()
