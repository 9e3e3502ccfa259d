# FTP publishing: unit tests against a real FTP server on 127.0.0.1 port 21 (run as root).
add_executable(publishing_tests
  ftp_test_server.cpp
  ftp_upload_test.cpp
  publishing_test.cpp)
target_compile_definitions(publishing_tests PRIVATE
  FTP_SERVER_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/ftp_server.py")
target_link_libraries(publishing_tests PRIVATE
  publishing test_support GTest::gtest_main rillfetch_warnings)
# Every test that starts a server binds port 21; any other test program that does must take
# the same lock.
gtest_discover_tests(publishing_tests PROPERTIES RESOURCE_LOCK ftp_port_21)
