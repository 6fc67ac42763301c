# corvelle.exe: the application with its resource script (res/corvelle.rc:
# dialogs, menu, shortcuts, strings, the artwork and the compiled game
# library). Included by the top level after the game library's build.
set(CORVELLE_RC ${CMAKE_SOURCE_DIR}/res/corvelle.rc)
add_executable(corvelle WIN32 ${CMAKE_SOURCE_DIR}/app/corvelle_main.cpp ${CORVELLE_RC})
target_link_libraries(corvelle PRIVATE corvelle_app corvelle_winmain)
corvelle_use_art(corvelle ${CORVELLE_RC})
set_property(SOURCE ${CORVELLE_RC} APPEND PROPERTY OBJECT_DEPENDS ${GAME_DB_DIR}/gamedb.rc
  ${CMAKE_SOURCE_DIR}/res/resource.h ${CMAKE_SOURCE_DIR}/res/art_ids.h ${CMAKE_SOURCE_DIR}/res/options_ids.h
  ${CMAKE_SOURCE_DIR}/res/panels.rc ${CMAKE_SOURCE_DIR}/res/select.rc ${CMAKE_SOURCE_DIR}/res/options.rc)
target_include_directories(corvelle PRIVATE ${GAME_DB_DIR} ${CMAKE_SOURCE_DIR}/res)
# The debug information moves to corvelle.exe.debug beside the program,
# which names it (a debug link, where debuggers find it): the system loads
# every section of the executable at each start, and the debug sections are
# three times the size of the rest.
add_custom_command(TARGET corvelle POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug corvelle.exe corvelle.exe.debug
  COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=corvelle.exe.debug corvelle.exe
  WORKING_DIRECTORY $<TARGET_FILE_DIR:corvelle> VERBATIM)
