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
if(NOT EXISTS "${OUT}")
  message(FATAL_ERROR "no picture written")
endif()
# PNG signature, then the IHDR chunk with width and height (big endian).
file(READ "${OUT}" head LIMIT 24 HEX)
string(SUBSTRING "${head}" 0 16 signature)
if(NOT signature STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "not a PNG file: ${signature}")
endif()
string(SUBSTRING "${head}" 32 8 width_hex)
math(EXPR width "0x${width_hex}")
# 300 dpi pictures are wider than 1500 pixels (a 170 mm picture is 2008 px).
if(width LESS 1500)
  message(FATAL_ERROR "picture only ${width} pixels wide")
endif()
file(REMOVE "${OUT}")
