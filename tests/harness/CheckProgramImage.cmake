cmake_minimum_required(VERSION 3.25)
# Checks uninstall.exe as built: a GUI program of the expected format that
# imports only DLLs every Windows has and no wide function, and no larger than
# MAX_KIB when given. Run with -DEXE=... -DOBJDUMP=... -DFORMAT=pei-i386|pei-x86-64 [-DMAX_KIB=n]
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE rc)
string(REGEX MATCH "file format [^\n]+" format "${headers}")
string(REGEX MATCH "Subsystem[ \t]+0*2[ \t]" gui "${headers}")
if(NOT rc EQUAL 0 OR NOT format STREQUAL "file format ${FORMAT}" OR NOT gui)
  message(FATAL_ERROR "${EXE} is not a GUI program in ${FORMAT} (${format})")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "objdump shows no imports of ${EXE}")
endif()
# Not ole32: the interactive run loads COM's library when it initialises COM,
# so that an unattended run, which has no use for it, never loads it.
list(TRANSFORM imports TOLOWER)
list(TRANSFORM imports REPLACE "dll name: (.*)\\.dll" "\\1")
list(REMOVE_ITEM imports kernel32 user32 gdi32 advapi32 comctl32 oleaut32 shell32 shlwapi msvcrt
                         comdlg32 version)
if(imports)
  message(FATAL_ERROR "uninstall.exe imports ${imports}, not among the DLLs it may import")
endif()
# The wide window functions are bound at run time, from the Unicode layer on the
# 9x family, where the system's own are stubs that fail: none may be imported.
string(REGEX MATCHALL "\t[0-9a-f]+\t +[0-9]+ +[A-Za-z0-9_]+W\n" wide "${headers}")
if(wide)
  message(FATAL_ERROR "uninstall.exe imports wide functions: ${wide}")
endif()
file(SIZE ${EXE} size)
math(EXPR kib "(${size} + 1023) / 1024")
if(DEFINED MAX_KIB AND kib GREATER MAX_KIB)
  message(FATAL_ERROR "uninstall.exe has ${size} bytes, more than ${MAX_KIB} KiB")
endif()
