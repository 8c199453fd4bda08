# The Windows packages: dist/duva-configurador-<version>-win64.zip, a portable folder, and
# dist/duva-configurador-<version>-setup.exe, a 64-bit NSIS installer with a Start-menu entry,
# the program's icon, an inbound firewall rule for UDP port 5001 (with the user's consent) and
# an uninstaller that removes all of it. The file names are set per generator in
# cpack-windows-names.cmake.
set(CPACK_GENERATOR "ZIP;NSIS")
# The NSIS commands below are written as NSIS reads them; CPack passes them on unchanged.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-windows-names.cmake)
set(CPACK_PACKAGE_VENDOR "DUVA")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Configurador DUVA")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/packaging/copyright)

set(CPACK_NSIS_PACKAGE_NAME "Configurador DUVA ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Configurador DUVA")
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(icon ${CMAKE_SOURCE_DIR}/packaging/icons/duva-configurador.ico)
set(CPACK_NSIS_MUI_ICON ${icon})
set(CPACK_NSIS_MUI_UNIICON ${icon})
set(CPACK_NSIS_INSTALLED_ICON_NAME duva-configurador.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)

# The Start-menu entry, made here rather than by CPACK_PACKAGE_EXECUTABLES, which would point
# it at a bin folder the program is not in, and start it under Program Files. The program
# keeps its version file in its working folder, where a user who is not an administrator may
# not write: the entry starts it in "Configurador DUVA" in the public Documents folder (the
# installer runs as an administrator, so the "all users" folders are meant), made writable
# by every user (the Users group, by its well-known SID, whatever the system's language).
# CreateShortCut takes the output folder as the working folder. The uninstaller removes the
# entry, and the folder if nothing was left in it (a version file is the technician's).
set(entry "$SMPROGRAMS\\$STARTMENU_FOLDER\\Configurador DUVA.lnk")
set(workdir "$DOCUMENTS\\Configurador DUVA")
# The fleet window's own entry, "Frota DUVA", in the same working folder, with the
# configurator's icon.
set(fleet_entry "$SMPROGRAMS\\$STARTMENU_FOLDER\\Frota DUVA.lnk")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  SetShellVarContext all
  CreateDirectory '${workdir}'
  nsExec::ExecToLog 'icacls \"${workdir}\" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0
  SetOutPath '${workdir}'
  CreateShortCut '${entry}' '$INSTDIR\\duva-configurador.exe' '' '$INSTDIR\\duva-configurador.exe' 0
  CreateShortCut '${fleet_entry}' '$INSTDIR\\duva-frota.exe' '' '$INSTDIR\\duva-configurador.exe' 0
  SetOutPath '$INSTDIR'
")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$SMPROGRAMS\\$MUI_TEMP\\Configurador DUVA.lnk'
  Delete '$SMPROGRAMS\\$MUI_TEMP\\Frota DUVA.lnk'
")

# The replies of the modules come to UDP port 5001; a firewall that drops them is the most
# common reason for a search that finds nothing. One rule by port, for every program of the
# package (the window, duvactl, the fleet window): a rule naming one program would leave the
# others' replies dropped. Where the rule cannot be added (no Windows Firewall, as under Wine)
# the installation goes on and says so.
set(rule "Configurador DUVA (UDP 5001)")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  MessageBox MB_YESNO|MB_ICONQUESTION \\
    'O Configurador DUVA recebe as respostas dos módulos na porta UDP 5001.$\\n$\\nPermitir a entrada nessa porta no Firewall do Windows?' \\
    /SD IDYES IDNO duva_firewall_done
  nsExec::ExecToLog 'netsh advfirewall firewall add rule name=\"${rule}\" dir=in action=allow protocol=UDP localport=5001 enable=yes'
  Pop $0
  StrCmp $0 '0' duva_firewall_done
  DetailPrint 'A regra do firewall não pôde ser adicionada (resultado $0).'
  MessageBox MB_OK|MB_ICONEXCLAMATION \\
    'Não foi possível adicionar a regra do firewall (resultado $0).$\\n$\\nSe a busca não encontrar módulos, permita a entrada na porta UDP 5001 no Firewall do Windows.' \\
    /SD IDOK
  duva_firewall_done:
")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  nsExec::ExecToLog 'netsh advfirewall firewall delete rule name=\"${rule}\"'
  Pop $0
  SetShellVarContext all
  RMDir '${workdir}'
")
