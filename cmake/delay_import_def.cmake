# cmake -P: writes the module-definition file DEF of DLL, naming every
# function the import library IMPORT_LIB imports (its __imp_ symbols, as NM
# lists them).
execute_process(COMMAND ${NM} --defined-only ${IMPORT_LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} cannot read ${IMPORT_LIB}")
endif()
string(REGEX MATCHALL "[ \t]I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
list(TRANSFORM imports REPLACE ".*__imp_" "")
list(REMOVE_DUPLICATES imports)
list(JOIN imports "\n  " functions)
set(text "LIBRARY ${DLL}\nEXPORTS\n  ${functions}\n")
get_filename_component(dir ${DEF} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
file(WRITE ${DEF} "${text}")
