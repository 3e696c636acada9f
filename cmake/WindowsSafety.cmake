# How the Windows programs are compiled, linked and load their DLLs, for a technician who runs them as
# administrator from any folder.

# Hardening: a stack protector (libssp links in statically), checked string and memory calls, and the PE
# flags stated rather than left to the binutils defaults (ASLR with relocations, 64-bit ASLR, DEP).
add_compile_options(-fstack-protector-strong)
add_compile_definitions(_FORTIFY_SOURCE=2)
add_link_options(-fstack-protector-strong LINKER:--dynamicbase,--high-entropy-va,--nxcompat)

# Delay-import libraries. Windows loads a statically imported DLL that is not one of its KnownDLLs from the
# program's own folder first, before main; one imported through a delay-import library is loaded on its
# first call, after main has limited the search to System32 (platform/LibrarySearch.h).
# pelmora_delayed_<name> stands for the system import library lib<name>.a, for DLL `dll`.
find_program(PELMORA_MINGW_NM NAMES ${PELMORA_MINGW_TRIPLET}-nm REQUIRED)
find_program(PELMORA_MINGW_DLLTOOL NAMES ${PELMORA_MINGW_TRIPLET}-dlltool REQUIRED)
function(pelmora_delay_import name dll)
  find_library(import_library_${name} NAMES lib${name}.a REQUIRED)
  set(import_library ${import_library_${name}})
  set(out ${CMAKE_BINARY_DIR}/delay-import)
  file(MAKE_DIRECTORY ${out})
  # Every function the system import library names (its thunks are the text symbols).
  execute_process(COMMAND ${PELMORA_MINGW_NM} -g --defined-only ${import_library}
    OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "[\r\n][0-9a-f]+ T [A-Za-z0-9_@?$]+" thunks "\n${symbols}")
  set(def "LIBRARY ${dll}\nEXPORTS\n")
  foreach(thunk IN LISTS thunks)
    string(REGEX REPLACE "^.* T " "" function "${thunk}")
    string(APPEND def "${function}\n")
  endforeach()
  file(WRITE ${out}/${name}.def "${def}")
  set(delay_library ${out}/lib${name}-delay.a)
  execute_process(COMMAND ${PELMORA_MINGW_DLLTOOL} --input-def ${out}/${name}.def --dllname ${dll}
                          --output-delaylib ${delay_library}
    COMMAND_ERROR_IS_FATAL ANY)
  add_library(pelmora_delayed_${name} STATIC IMPORTED GLOBAL)
  set_target_properties(pelmora_delayed_${name} PROPERTIES IMPORTED_LOCATION ${delay_library})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${import_library})
endfunction()

pelmora_delay_import(iphlpapi IPHLPAPI.dll)
pelmora_delay_import(oleacc OLEACC.dll)

# Authenticode signing (scripts/sign-windows.sh), given a certificate and its key: each program as it is
# linked, so that the zip and the installer pack signed copies, and the installer and its uninstaller as
# makensis writes them. scripts/build-windows.sh sets these from the environment variables of the same names.
set(PELMORA_SIGN_CERT "" CACHE FILEPATH "Authenticode certificate for the Windows programs (empty: unsigned)")
set(PELMORA_SIGN_KEY "" CACHE FILEPATH "The signing certificate's private key")
set(PELMORA_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file holding the private key's password (optional)")
set(PELMORA_SIGN_TIMESTAMP "" CACHE STRING "An RFC 3161 time-stamp server's URL (optional)")
set(PELMORA_SIGN_COMMAND)
if(PELMORA_SIGN_CERT AND PELMORA_SIGN_KEY)
  set(PELMORA_SIGN_COMMAND ${CMAKE_COMMAND} -E env PELMORA_SIGN_CERT=${PELMORA_SIGN_CERT}
      PELMORA_SIGN_KEY=${PELMORA_SIGN_KEY} PELMORA_SIGN_PASSWORD_FILE=${PELMORA_SIGN_PASSWORD_FILE}
      PELMORA_SIGN_TIMESTAMP=${PELMORA_SIGN_TIMESTAMP} bash ${PROJECT_SOURCE_DIR}/scripts/sign-windows.sh)
endif()
# Signs a program of the downloads right after its link.
function(pelmora_sign_program target)
  if(PELMORA_SIGN_COMMAND)
    add_custom_command(TARGET ${target} POST_BUILD COMMAND ${PELMORA_SIGN_COMMAND} $<TARGET_FILE:${target}> VERBATIM)
  endif()
endfunction()
