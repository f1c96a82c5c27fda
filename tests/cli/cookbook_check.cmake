# SPDX-License-Identifier: AGPL-3.0-or-later
# Runs one recipe of the batch cookbook exactly as the user guides print it.
# The command block follows the line "<!-- cookbook: RECIPE -->" in both
# guides; the two blocks must be equal. The block runs with sh in a fresh
# folder WORKDIR, with the folder of CLI first on PATH; it must end with exit
# status 0. Its standard output is printed for the test's regular
# expressions, and so is
#   OUTFILE  a file the recipe writes: its line count and its text;
#   PNG      a picture the recipe writes: checked as a complete PNG file of
#            at least 1500 pixels width (300 dpi), then its size printed;
#   INI      a settings file of this folder that the recipe reads: the
#            guides' block "<!-- cookbook: <file name> -->" must show exactly
#            its text, and it is copied into WORKDIR.
# Variables: CLI, GUIDE_DE, GUIDE_EN, RECIPE, WORKDIR, and OUTFILE, PNG, INI
# when the recipe needs them.

# The text of the fenced block after the marker of `name` in `guide`.
function(guide_block guide name result)
  file(READ "${guide}" text)
  set(marker "<!-- cookbook: ${name} -->\n```")
  string(FIND "${text}" "${marker}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${guide}: no block \"${name}\"")
  endif()
  string(LENGTH "${marker}" length)
  math(EXPR at "${at} + ${length}")
  string(SUBSTRING "${text}" ${at} -1 text)
  string(FIND "${text}" "\n" at)  # the rest of the fence line (the language)
  math(EXPR at "${at} + 1")
  string(SUBSTRING "${text}" ${at} -1 text)
  string(FIND "${text}" "```" end)
  if(end EQUAL -1)
    message(FATAL_ERROR "${guide}: block \"${name}\" not closed")
  endif()
  string(SUBSTRING "${text}" 0 ${end} text)
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

function(both_guides name result)
  guide_block("${GUIDE_DE}" "${name}" de)
  guide_block("${GUIDE_EN}" "${name}" en)
  if(NOT de STREQUAL en)
    message(FATAL_ERROR "block \"${name}\" differs between ${GUIDE_DE} and ${GUIDE_EN}")
  endif()
  set(${result} "${de}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")

if(DEFINED INI)
  get_filename_component(ini_name "${INI}" NAME)
  both_guides("${ini_name}" shown)
  file(READ "${INI}" kept)
  if(NOT shown STREQUAL kept)
    message(FATAL_ERROR "the guides do not show ${INI} as it is")
  endif()
  file(COPY "${INI}" DESTINATION "${WORKDIR}")
endif()

both_guides("${RECIPE}" commands)
file(WRITE "${WORKDIR}/recipe.sh" "${commands}")
get_filename_component(cli_dir "${CLI}" DIRECTORY)
set(ENV{PATH} "${cli_dir}:$ENV{PATH}")
set(ENV{HOME} "${WORKDIR}")  # no user configuration is seen
execute_process(COMMAND sh -e recipe.sh WORKING_DIRECTORY "${WORKDIR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "recipe ${RECIPE}: exit status ${rc}\n${err}")
endif()
message("${out}")

if(DEFINED OUTFILE)
  if(NOT EXISTS "${WORKDIR}/${OUTFILE}")
    message(FATAL_ERROR "recipe ${RECIPE} wrote no ${OUTFILE}")
  endif()
  file(READ "${WORKDIR}/${OUTFILE}" written)
  # Count the line ends; ";" would split a CMake list, so count on a copy
  # without them.
  string(REPLACE ";" "," plain "${written}")
  string(REGEX MATCHALL "\n" ends "${plain}")
  list(LENGTH ends lines)
  message("${OUTFILE}: ${lines} lines\n${written}")
endif()

if(DEFINED PNG)
  include(${CMAKE_CURRENT_LIST_DIR}/png_check.cmake)
  check_png("${WORKDIR}/${PNG}")
endif()
