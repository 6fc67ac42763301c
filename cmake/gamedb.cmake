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
#
# Each check's COST (its seconds, from games/check-costs.txt, written by
# scripts/check-costs.sh) makes ctest -j start the slowest checks first, so
# that the run does not end waiting on one long check started last. A game
# the table does not list yet counts as the slowest listed, so it too starts
# early.
if(NOT WIN32 AND CORVELLE_GAME_CHECKS)
  enable_testing()
  set(GAME_CHECK_COSTS ${CMAKE_SOURCE_DIR}/games/check-costs.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${GAME_CHECK_COSTS})
  set(slowest 1)
  if(EXISTS ${GAME_CHECK_COSTS})
    file(STRINGS ${GAME_CHECK_COSTS} cost_lines REGEX "^[a-z][a-z0-9_-]* [0-9.]+$")
    foreach(line ${cost_lines})
      string(REPLACE " " ";" pair "${line}")
      list(GET pair 0 key)
      list(GET pair 1 seconds)
      set(cost_${key} ${seconds})
      if(seconds GREATER slowest)
        set(slowest ${seconds})
      endif()
    endforeach()
  endif()
  foreach(file ${GAME_SOURCES})
    if(file MATCHES "\\.game$")
      get_filename_component(key ${file} NAME_WE)
      add_test(NAME game.${key}
               COMMAND corvelle-cli --db ${GAME_DB_DIR} check ${key} --soak ${CORVELLE_SOAK_STEPS})
      if(NOT DEFINED cost_${key})
        set(cost_${key} ${slowest})
      endif()
      set_tests_properties(game.${key} PROPERTIES LABELS games TIMEOUT 900 COST ${cost_${key}})
    endif()
  endforeach()
endif()
