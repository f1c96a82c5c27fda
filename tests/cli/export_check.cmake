# SPDX-License-Identifier: AGPL-3.0-or-later
# Runs the batch program with --export OUT and checks the file with
# check_export.py. Variables: CLI, OUT, ARGS (a ;-list before --export),
# PYTHON, CHECK (a |-list: the checker's mode and arguments after the file).
# With EXPECT_ERROR set, the run must instead end with the exit status
# EXPECT_RC and that text on standard error, and write no file.
file(REMOVE "${OUT}")
execute_process(COMMAND "${CLI}" --no-ini ${ARGS} --export "${OUT}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(DEFINED EXPECT_ERROR)
  if(NOT rc EQUAL EXPECT_RC OR NOT err MATCHES "${EXPECT_ERROR}")
    message(FATAL_ERROR "expected exit status ${EXPECT_RC} and '${EXPECT_ERROR}', got ${rc}: ${err}")
  endif()
  if(EXISTS "${OUT}")
    message(FATAL_ERROR "${OUT} was written")
  endif()
  return()
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "exit status ${rc}: ${err}")
endif()
string(REPLACE "|" ";" CHECK "${CHECK}")
list(GET CHECK 0 mode)
list(SUBLIST CHECK 1 -1 rest)
execute_process(COMMAND "${PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/check_export.py" ${mode} "${OUT}" ${rest}
                RESULT_VARIABLE check_rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT check_rc EQUAL 0)
  message(FATAL_ERROR "${OUT}:\n${out}")
endif()
file(REMOVE "${OUT}")
