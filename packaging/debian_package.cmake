# Linux: installs Sectorsmith as a desktop application (program, desktop entry, icons, AppStream
# metadata, manual page, copyright and changelog) and packs that as a Debian package with
# `cpack` (see scripts/package.sh for the build it is meant for).
include(GNUInstallDirs)

set(SECTORSMITH_APP_ID org.sectorsmith.sectorsmith)
set(SECTORSMITH_MAINTAINER "Sectorsmith developers <sectorsmith@example.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/sectorsmith)

install(TARGETS sectorsmith RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SECTORSMITH_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SECTORSMITH_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES copyright DESTINATION ${doc_dir})

# The icon in the hicolor theme's sizes, drawn at build time from icon 128.
add_executable(scale_icon scale_icon.cpp)
target_link_libraries(scale_icon PRIVATE Qt6::Gui)
set(icon_root ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(icon_files "")
foreach(size 16 32 48 64 128 256)
    list(APPEND icon_files ${icon_root}/${size}x${size}/apps/sectorsmith.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:scale_icon>
            ${CMAKE_SOURCE_DIR}/resources/icon/128.ico ${icon_root}
    DEPENDS scale_icon ${CMAKE_SOURCE_DIR}/resources/icon/128.ico
    COMMENT "Drawing the desktop icons from icon 128" VERBATIM)

# Debian wants the manual page and the changelog compressed, without a time stamp.
function(sectorsmith_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip ${source} ${output}
        DEPENDS ${source} VERBATIM)
endfunction()
set(man_page ${CMAKE_CURRENT_BINARY_DIR}/sectorsmith.1.gz)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
sectorsmith_gzip(${CMAKE_CURRENT_SOURCE_DIR}/sectorsmith.1 ${man_page})
sectorsmith_gzip(${CMAKE_CURRENT_SOURCE_DIR}/changelog ${changelog})

add_custom_target(desktop_files ALL DEPENDS ${icon_files} ${man_page} ${changelog})
install(DIRECTORY ${icon_root}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${changelog} DESTINATION ${doc_dir})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sectorsmith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SECTORSMITH_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write a disk image onto a USB stick or SD card")
set(CPACK_PACKAGE_DESCRIPTION
    "Sectorsmith is a desktop utility that writes a raw disk image (.img) byte\n"
    "for byte onto the start of a small physical drive, a USB stick or SD card\n"
    "whose volumes add up to at most 2 GB. Before anything is written it shows\n"
    "which drive will be erased: its device, vendor and model, transport and\n"
    "capacity, and each volume's mount point, file system and label.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by shlibdeps: the drives are reached through udisks2 as the desktop user.
set(CPACK_DEBIAN_PACKAGE_DEPENDS udisks2)
include(CPack)
