# The Windows install tree, from which CPack makes the portable zip and the installer: every
# program installed by an install(TARGETS) before this file (the programs lie at the top of the
# folder), Qt's windows platform plugin and style plugin beside them, and exactly the DLLs
# that these need, found in the Qt prefix and the MinGW runtime by reading their imports with
# the MinGW objdump. Windows' own DLLs stay out. Every DLL is stripped.

install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
        DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
        DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)

# Where the MinGW runtime DLLs (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) lie.
set(runtime_directories ${DUVA_WIN_PREFIX}/bin)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}")
    # The compiler knows the first two; the thread library lies in the MinGW sysroot.
    find_file(found_${dll} ${dll} PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(found ${found_${dll}})
  endif()
  get_filename_component(directory ${found} DIRECTORY)
  list(APPEND runtime_directories ${directory})
endforeach()
list(REMOVE_DUPLICATES runtime_directories)

install(CODE "
  set(directories \"${runtime_directories}\")
  set(objdump \"${CMAKE_OBJDUMP}\")
  set(strip \"${CMAKE_STRIP}\")
  set(bindir \"${CMAKE_INSTALL_BINDIR}\")
")
install(CODE [[
  cmake_policy(SET CMP0057 NEW) # if(IN_LIST)
  set(top "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${bindir}")
  file(GLOB programs "${top}/*.exe")
  file(GLOB plugins "${top}/platforms/*.dll" "${top}/styles/*.dll")
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${objdump}")
  # Every DLL of those folders, by its lower-case name: CMake gives Windows' import names in
  # lower case (qt6core.dll) and then looks for them as such, which a Linux file system does not
  # find (Qt6Core.dll). So what it leaves unresolved is looked up here, and read in turn.
  foreach(directory IN LISTS directories)
    file(GLOB dlls "${directory}/*.dll")
    foreach(dll IN LISTS dlls)
      get_filename_component(name "${dll}" NAME)
      string(TOLOWER "${name}" name)
      if(NOT DEFINED dll_${name})
        set(dll_${name} "${dll}")
      endif()
    endforeach()
  endforeach()
  set(resolved)
  set(system)
  set(executables ${programs})
  set(modules ${plugins})
  while(executables OR modules)
    file(GET_RUNTIME_DEPENDENCIES
      EXECUTABLES ${executables}
      MODULES ${modules}
      DIRECTORIES ${directories}
      PRE_EXCLUDE_REGEXES "^api-ms-.*" "^ext-ms-.*"
      RESOLVED_DEPENDENCIES_VAR found
      UNRESOLVED_DEPENDENCIES_VAR unresolved)
    set(executables)
    set(modules)
    foreach(name IN LISTS unresolved)
      string(TOLOWER "${name}" name)
      if(DEFINED dll_${name})
        list(APPEND found "${dll_${name}}")
      else()
        # Windows' own (kernel32.dll, ws2_32.dll, ...).
        list(APPEND system ${name})
      endif()
    endforeach()
    foreach(dll IN LISTS found)
      if(NOT dll IN_LIST resolved)
        list(APPEND resolved "${dll}")
        list(APPEND modules "${dll}")
      endif()
    endforeach()
  endwhile()
  list(REMOVE_DUPLICATES system)
  foreach(name IN LISTS system)
    if(name MATCHES "^(qt6|lib)")
      message(FATAL_ERROR "${name} is needed but is in none of ${directories}")
    endif()
  endforeach()
  message(STATUS "From Windows itself: ${system}")
  file(INSTALL ${resolved} DESTINATION "${top}")
  set(installed)
  foreach(dll IN LISTS resolved)
    get_filename_component(name "${dll}" NAME)
    list(APPEND installed "${top}/${name}")
  endforeach()
  foreach(dll IN LISTS installed plugins)
    execute_process(COMMAND "${strip}" --strip-unneeded "${dll}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "could not strip ${dll}")
    endif()
  endforeach()
]])
