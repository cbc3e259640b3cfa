# Where the installed files go, relative to the installation prefix (/usr for the package).
include(GNUInstallDirs)
set(TARVO_PACKAGE_NAME tarvo-consignment)
set(TARVO_DATA_SUBDIR ${CMAKE_INSTALL_DATADIR}/${TARVO_PACKAGE_NAME})
set(TARVO_DOC_SUBDIR ${CMAKE_INSTALL_DATADIR}/doc/${TARVO_PACKAGE_NAME})
# The programs find their data from their own folder, so an installed tree works wherever it
# was unpacked.
file(RELATIVE_PATH TARVO_DATA_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TARVO_DATA_SUBDIR})
