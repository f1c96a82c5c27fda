# SPDX-License-Identifier: AGPL-3.0-or-later
# check_png(FILE): FILE must be a PNG picture at 300 dpi. A 300 dpi picture
# is wider than 1500 pixels (a 170 mm picture is 2008 px). Reads the PNG
# signature and the IHDR chunk with width and height (big endian).
function(check_png file)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "no picture ${file} written")
  endif()
  file(READ "${file}" head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 0 16 signature)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${file} is no PNG file: ${signature}")
  endif()
  string(SUBSTRING "${head}" 32 8 width_hex)
  string(SUBSTRING "${head}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(width LESS 1500)
    message(FATAL_ERROR "${file} only ${width} pixels wide")
  endif()
  message("${file}: PNG ${width} x ${height}")
endfunction()
