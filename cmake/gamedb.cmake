# The game library (games/) compiled into the database resources, and one
# check per game in the test command.
set(GAME_DB_DIR ${CMAKE_BINARY_DIR}/gamedb)
file(GLOB_RECURSE GAME_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/games/*.game
     ${CMAKE_SOURCE_DIR}/games/*.family ${CMAKE_SOURCE_DIR}/games/blocks/*.blk)
corvelle_host_tool(GAMEC corvelle-gamec)
# The list of library files, rewritten only when it changes: a game file
# removed or renamed makes it newer than the database, so the library is
# compiled again without the game instead of keeping it.
string(REPLACE ";" "\n" GAME_SOURCE_LIST "${GAME_SOURCES}")
file(CONFIGURE OUTPUT ${GAME_DB_DIR}/sources.txt CONTENT "${GAME_SOURCE_LIST}\n" @ONLY)
add_custom_command(
  OUTPUT ${GAME_DB_DIR}/gamedb.rc ${GAME_DB_DIR}/library.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${GAME_DB_DIR}
  COMMAND ${GAMEC} ${CMAKE_SOURCE_DIR}/games ${GAME_DB_DIR} ${GAME_DB_DIR}/gamedb.rc
  DEPENDS ${GAMEC_DEPENDS} ${GAME_SOURCES} ${GAME_DB_DIR}/sources.txt
  COMMENT "Compiling the game library")
add_custom_target(corvelle_gamedb ALL DEPENDS ${GAME_DB_DIR}/gamedb.rc)
if(TARGET corvelle-cli)
  add_dependencies(corvelle-cli corvelle_gamedb)
endif()

# One check per game: deals, a win, random play with undo, and the fc-solve
# cross-check where the game names a preset. They run in the optimised tools
# build (CORVELLE_GAME_CHECKS), where the whole library takes about a minute;
# the engine itself is covered under the sanitizers by the engine tests. The
# random play makes CORVELLE_SOAK_STEPS steps per game.
option(CORVELLE_GAME_CHECKS "Register one check per game of the library" OFF)
set(CORVELLE_SOAK_STEPS 10000 CACHE STRING "Random-play steps per game in the library checks")
if(NOT WIN32 AND CORVELLE_GAME_CHECKS)
  enable_testing()
  foreach(file ${GAME_SOURCES})
    if(file MATCHES "\\.game$")
      get_filename_component(key ${file} NAME_WE)
      add_test(NAME game.${key}
               COMMAND corvelle-cli --db ${GAME_DB_DIR} check ${key} --soak ${CORVELLE_SOAK_STEPS})
      set_tests_properties(game.${key} PROPERTIES LABELS games TIMEOUT 900)
    endif()
  endforeach()
endif()
