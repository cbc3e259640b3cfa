# Where the installed files go, relative to the installation prefix (/usr for the package).
set(TARVO_PACKAGE_NAME tarvo-consignment)
if(WIN32)
  # Windows: one folder (Program Files\Tarvo Consignment) with the executables and their DLLs,
  # reports\ and sql\ beside them and doc\ for the guide and the examples.
  set(CMAKE_INSTALL_BINDIR .)
  set(CMAKE_INSTALL_MANDIR doc/man)
  include(GNUInstallDirs)
  set(TARVO_DATA_SUBDIR .)
  set(TARVO_DOC_SUBDIR doc)
else()
  include(GNUInstallDirs)
  set(TARVO_DATA_SUBDIR ${CMAKE_INSTALL_DATADIR}/${TARVO_PACKAGE_NAME})
  set(TARVO_DOC_SUBDIR ${CMAKE_INSTALL_DATADIR}/doc/${TARVO_PACKAGE_NAME})
endif()
# The programs find their data from their own folder, so an installed tree works wherever it
# was unpacked.
file(RELATIVE_PATH TARVO_DATA_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TARVO_DATA_SUBDIR})
