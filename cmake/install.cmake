# Installation: the programs, their manual pages, and the library with its
# headers as the CMake package `taloq`, so that a C++ back end can
#   find_package(taloq REQUIRED)
#   target_link_libraries(my_back_end PRIVATE taloq::taloq)
# Also the Debian package (cpack -G DEB).

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TALOQ_PROGRAMS taloqchk)
foreach(program taloqdump taloqgraph taloqlint taloqls)
  if(TARGET ${program})
    list(APPEND TALOQ_PROGRAMS ${program})
  endif()
endforeach()

install(TARGETS ${TALOQ_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS taloq EXPORT taloqTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY src/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/taloq
        FILES_MATCHING PATTERN "*.h" PATTERN "*.def" PATTERN "*test_support*" EXCLUDE)
# The old name of the back-end utilities' umbrella header, for back ends that
# still include it.
install(DIRECTORY cmake/compat_headers/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/taloq)
install(EXPORT taloqTargets NAMESPACE taloq:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/taloq)

foreach(program IN LISTS TALOQ_PROGRAMS)
  install(FILES doc/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES doc/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Vim finds compiler plugins in vimfiles on its default runtime path, so
# :compiler taloqchk (and taloqlint) works once the package is installed.
install(FILES contrib/vim/compiler/taloqchk.vim contrib/vim/compiler/taloqlint.vim
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vim/vimfiles/compiler)
install(FILES contrib/vscode/tasks.json DESTINATION ${CMAKE_INSTALL_DOCDIR}/vscode)

configure_package_config_file(cmake/taloqConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/taloqConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/taloq)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/taloqConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/taloqConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/taloqConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/taloq)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taloqchk)
set(CPACK_PACKAGE_VENDOR "the taloqchk developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Checker for Taloq message definitions")
set(CPACK_PACKAGE_DESCRIPTION
    "taloqchk reports every error and warning of Taloq message definitions; taloqlint adds findings on the mistakes the language lets through, also as JSON, GitHub annotations and SARIF; taloqdump and taloqgraph hand the analysed model to other tools as JSON and as a Graphviz graph.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "taloqchk developers <maintainers@taloqchk.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
