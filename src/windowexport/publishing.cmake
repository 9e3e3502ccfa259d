# FTP publishing of RillfetchNOW's finished report; the only user of libcurl.
find_package(CURL REQUIRED)

add_library(publishing STATIC
  ftp_upload.cpp
  publishing.cpp)
target_include_directories(publishing PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(publishing
  PUBLIC common platform dbsession
  PRIVATE CURL::libcurl rillfetch_warnings)
