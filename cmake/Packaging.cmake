# Installation layout and the Debian package (scripts/package.sh runs cpack -G DEB).
#
#   /usr/bin/tarvo-consignment, /usr/bin/tarvo-dbinit
#   /usr/share/tarvo-consignment/reports/   report definitions (found when the working
#                                           directory has none)
#   /usr/share/tarvo-consignment/sql/       the T-SQL scripts tarvo-dbinit runs (it carries
#                                           its own copy; these are for reading)
#   /usr/share/doc/tarvo-consignment/       ADMIN.md, examples/QLM.INI, examples/Server.Dat
# The folders are those of InstallLayout.cmake.
install(TARGETS tarvo-consignment tarvo-dbinit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/reports/definitions/ DESTINATION ${TARVO_DATA_SUBDIR}/reports
        FILES_MATCHING PATTERN "*.frf")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/db/mssql/ DESTINATION ${TARVO_DATA_SUBDIR}/sql
        FILES_MATCHING PATTERN "*.sql")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/examples/ DESTINATION ${TARVO_DOC_SUBDIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_SOURCE_DIR}/docs/ADMIN.md
        DESTINATION ${TARVO_DOC_SUBDIR})

# Debian wants the changelog and the manual pages compressed, without a time stamp in the
# gzip header so that two builds give the same bytes.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(TARVO_COMPRESSED_DOCS)
foreach(doc changelog man/tarvo-consignment.1 man/tarvo-dbinit.1)
  get_filename_component(name ${doc} NAME)
  set(out ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${GZIP_EXECUTABLE} -9nc ${PROJECT_SOURCE_DIR}/packaging/${doc} > ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc} VERBATIM)
  list(APPEND TARVO_COMPRESSED_DOCS ${out})
endforeach()
add_custom_target(tarvo_package_docs ALL DEPENDS ${TARVO_COMPRESSED_DOCS})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TARVO_DOC_SUBDIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/tarvo-consignment.1.gz ${CMAKE_BINARY_DIR}/packaging/tarvo-dbinit.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TARVO_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarvo")
set(CPACK_PACKAGE_CONTACT "Tarvo consignment developers <support@tarvo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "consignment and stock-adjustment program of the Tarvo trading suite")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the synopsis line; this is the text below it.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "The suite's menu launcher starts it for a clerk: it records what the branches\n"
  "holding consignment stock sold, took back or adjusted, by barcode, shows their\n"
  "daily movements and on-hand quantities, and prints the customer quota group\n"
  "price report. It runs against Microsoft SQL Server over ODBC (FreeTDS) or on\n"
  "embedded SQLite databases. tarvo-dbinit creates or upgrades its databases.")
# Libraries the programs link are found by dpkg-shlibdeps; what Qt and unixODBC load at run
# time (the SQL drivers, FreeTDS's ODBC driver) and the Thai fonts are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6sql6-odbc, libqt6sql6-sqlite, tdsodbc, odbcinst, fonts-thai-tlwg, libthai0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
