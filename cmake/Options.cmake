# SPDX-License-Identifier: AGPL-3.0-or-later
# Compiler options shared by every target of the project.

# Reproducible numerics: no fused multiply-add contraction.
add_compile_options(-Wall -Wextra -ffp-contract=off)
# GCC 12 reports std::string concatenations as overlapping copies when it
# inlines them at -O3 (GCC bug 105329, a false positive in libstdc++).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
if(ORBITELLO_WERROR)
  add_compile_options(-Werror)
endif()
if(ORBITELLO_SANITIZE)
  # GCC's "undefined" leaves out float-to-integer conversions that overflow
  # (a NaN or 1e300 made an int); they are undefined behaviour as well.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined,float-cast-overflow)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

# orbitello_library(name SOURCES ... DEPENDS ...): one static library per subsystem folder.
function(orbitello_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()
