# Installed package for hosts: find_package(KelRSList) or pkg-config kelrslist.
include(CMakePackageConfigHelpers)

install(TARGETS KelRSList EXPORT KelRSListTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/KelRSList
        FILES_MATCHING PATTERN "*.h")
foreach(dir platform companions records document grid dialogs resources)
    install(DIRECTORY ${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/KelRSList/${dir}
            FILES_MATCHING PATTERN "*.h")
endforeach()

install(EXPORT KelRSListTargets NAMESPACE KelRSList::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KelRSList)
configure_package_config_file(cmake/KelRSListConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/KelRSListConfig.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KelRSList)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KelRSListConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KelRSListConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/KelRSListConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KelRSList)

configure_file(cmake/kelrslist.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kelrslist.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kelrslist.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
