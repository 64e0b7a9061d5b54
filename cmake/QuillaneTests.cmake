# quillane_add_test(NAME name SOURCES ... LIBS ... [SERVER])
# One test executable per call, run headless by CTest, with the shared test main (headless
# QApplication, US English). SERVER: the test needs the PostgreSQL server CTest starts for the
# tests; its connection is in QUILLANE_TEST_SERVER, and without it the test fails.
set(QUILLANE_PG_DIR ${CMAKE_BINARY_DIR}/pg-test)
set(QUILLANE_PG_PORT 54329)
set(QUILLANE_TEST_SERVER "host=${QUILLANE_PG_DIR} port=${QUILLANE_PG_PORT} user=quillane")

function(quillane_add_test)
    cmake_parse_arguments(T "SERVER" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} quillane_test_main)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILLANE_TEST_SERVER=${QUILLANE_TEST_SERVER}"
        TIMEOUT 300)
    if(T_SERVER)
        set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED pg_server)
    endif()
endfunction()

# The one server of a test run: initdb into the build folder, a Unix socket there and no TCP.
function(quillane_add_test_server)
    add_test(NAME pg_server_start
        COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/pg_test_server.sh start ${QUILLANE_PG_DIR} ${QUILLANE_PG_PORT})
    set_tests_properties(pg_server_start PROPERTIES FIXTURES_SETUP pg_server TIMEOUT 120)
    add_test(NAME pg_server_stop
        COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/pg_test_server.sh stop ${QUILLANE_PG_DIR})
    set_tests_properties(pg_server_stop PROPERTIES FIXTURES_CLEANUP pg_server)
endfunction()
