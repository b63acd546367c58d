# Read by cpack before it builds the package: the changelog's first entry must be the version
# being packaged.
file(READ "${CPACK_POMVEX_CHANGELOG}" changelog LIMIT 200)
string(REGEX MATCH "^[^\n]*" first_line "${changelog}")
if(NOT first_line MATCHES "^pomvex \\(([^)]+)\\)" OR NOT CMAKE_MATCH_1 STREQUAL CPACK_PACKAGE_VERSION)
  message(FATAL_ERROR "${CPACK_POMVEX_CHANGELOG} must open with an entry for version "
                      "${CPACK_PACKAGE_VERSION}; its first line is: ${first_line}")
endif()

# The software centres' description names the same version among its releases.
file(READ "${CPACK_POMVEX_METAINFO}" metainfo)
if(NOT metainfo MATCHES "<release version=\"${CPACK_PACKAGE_VERSION}\"")
  message(FATAL_ERROR "${CPACK_POMVEX_METAINFO} has no release of version ${CPACK_PACKAGE_VERSION}")
endif()
