# SPDX-License-Identifier: AGPL-3.0-or-later
# Runs the batch program with --picture and checks that a complete PNG of the
# expected size was written. Variables: CLI, OUT, ARGS (a ;-list); with
# EXPECT_ERROR set, the run must instead end with exit status 1 and that text
# on standard error.
if(NOT DEFINED EXPECT_ERROR)
  file(REMOVE "${OUT}")
endif()
execute_process(COMMAND "${CLI}" --no-ini ${ARGS} --picture "${OUT}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(DEFINED EXPECT_ERROR)
  if(NOT rc EQUAL 1 OR NOT err MATCHES "${EXPECT_ERROR}")
    message(FATAL_ERROR "expected exit status 1 and '${EXPECT_ERROR}', got ${rc}: ${err}")
  endif()
  return()
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "exit status ${rc}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/png_check.cmake)
check_png("${OUT}")
file(REMOVE "${OUT}")
