# cmake -P: gathers what the Windows installer and the zip hold into STAGE (the programs of
# PROGRAMS that were built, everything windows-deploy put beside them, the manual MANUAL) and
# writes the installer's File lines to FILES and the uninstaller's Delete lines to UNFILES, so
# that the uninstaller removes exactly what was installed.
if(NOT EXISTS "${MANUAL}")
  message(FATAL_ERROR "The installer needs the user manual: configure with "
                      "-DZENTOR_MANUAL_PDF_RENDERED=<a Linux build's Zentor1.0.pdf>")
endif()
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
foreach(program ${PROGRAMS})
  if(EXISTS ${BIN}/${program}.exe)
    file(COPY ${BIN}/${program}.exe DESTINATION ${STAGE})
  endif()
endforeach()
file(GLOB dlls ${BIN}/Qt6*.dll ${BIN}/lib*.dll)
file(COPY ${dlls} ${BIN}/platforms ${BIN}/styles ${MANUAL} DESTINATION ${STAGE})

# The debugging information stays out of what users install.
file(GLOB_RECURSE binaries ${STAGE}/*.exe ${STAGE}/*.dll)
execute_process(COMMAND ${STRIP} --strip-debug ${binaries} COMMAND_ERROR_IS_FATAL ANY)

file(GLOB_RECURSE staged RELATIVE ${STAGE} ${STAGE}/*)
list(SORT staged)
set(install "")
set(uninstall "")
set(dirs "")
foreach(path ${staged})
  get_filename_component(dir ${path} DIRECTORY)
  string(REPLACE "/" "\\" winPath "${path}")
  string(REPLACE "/" "\\" winDir "${dir}")
  string(APPEND install "SetOutPath \"$INSTDIR\\${winDir}\"\nFile \"${STAGE}/${path}\"\n")
  string(APPEND uninstall "Delete \"$INSTDIR\\${winPath}\"\n")
  if(dir)
    list(APPEND dirs ${winDir})
  endif()
endforeach()
list(REMOVE_DUPLICATES dirs)
foreach(dir ${dirs})
  string(APPEND uninstall "RMDir \"$INSTDIR\\${dir}\"\n")
endforeach()
file(WRITE ${FILES} "${install}")
file(WRITE ${UNFILES} "${uninstall}")
