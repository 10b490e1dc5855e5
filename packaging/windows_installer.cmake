# Installs the Windows program into one folder (the program and its copyright) and packs that as
# sectorsmith-<version>-setup.exe with CPack's NSIS generator (makensis): a Start-menu entry, the
# program's icon, and an uninstaller registered under Add/Remove Programs. The program itself
# needs nothing beside it, so build/windows/app/sectorsmith.exe also ships alone (portable).
install(TARGETS sectorsmith RUNTIME DESTINATION .)
install(FILES copyright DESTINATION . RENAME copyright.txt)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Sectorsmith)
set(CPACK_PACKAGE_VENDOR Sectorsmith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME sectorsmith-${PROJECT_VERSION}-setup)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write a disk image onto a USB stick or SD card")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Sectorsmith)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Sectorsmith)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for a 64-bit program: it installs into Program Files (not Program Files
# (x86)) and registers in the system's own registry view, and needs no 32-bit Windows layer.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Sectorsmith)
set(CPACK_NSIS_DISPLAY_NAME Sectorsmith)
# The Start-menu entry: sectorsmith.exe at the top of the install folder, named Sectorsmith.
set(CPACK_PACKAGE_EXECUTABLES sectorsmith Sectorsmith)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The program's icon for the installer, the uninstaller and the Add/Remove Programs entry (the
# installed program carries it as its resource 128).
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/icon/128.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/icon/128.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME sectorsmith.exe)
# A second install replaces the first instead of leaving two entries.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
include(CPack)
