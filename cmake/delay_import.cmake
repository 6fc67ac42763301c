# Delay-loaded system DLLs: corvelle_delay_import(NAME) makes the target
# delay_NAME, an import library whose DLL is loaded at the first call of one
# of its functions instead of at the program's start (each DLL loaded at
# start costs start-up time, under Wine several milliseconds). Its functions
# are those of the toolchain's import library libNAME.a.
set(CORVELLE_DELAY_IMPORT_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/delay_import_def.cmake)

function(corvelle_delay_import name)
  if(TARGET delay_${name})
    return()
  endif()
  find_library(CORVELLE_IMPORT_LIB_${name} ${name} REQUIRED)
  set(def ${CMAKE_BINARY_DIR}/delay-import/${name}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay-import/lib${name}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORT_LIB=${CORVELLE_IMPORT_LIB_${name}} -DDLL=${name}.dll
            -DDEF=${def} -P ${CORVELLE_DELAY_IMPORT_SCRIPT}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
    DEPENDS ${CORVELLE_IMPORT_LIB_${name}} ${CORVELLE_DELAY_IMPORT_SCRIPT}
    COMMENT "Delay-import library of ${name}.dll" VERBATIM)
  add_custom_target(delay_${name}_lib DEPENDS ${lib})
  add_library(delay_${name} INTERFACE)
  add_dependencies(delay_${name} delay_${name}_lib)
  target_link_libraries(delay_${name} INTERFACE ${lib})
endfunction()
