# SPDX-License-Identifier: MIT
#
# cmake -DCOMMANDS=compile_commands.json -P nocontraction.cmake
#
# Fails unless every compile command of the build turns contraction off as its last word
# on it and none allows the compiler to reorder or fuse floating-point operations.
file(READ ${COMMANDS} json)
string(JSON count LENGTH "${json}")
if(count EQUAL 0)
    message(FATAL_ERROR "${COMMANDS} holds no compile command")
endif()
math(EXPR last "${count} - 1")
set(bad 0)
foreach(i RANGE ${last})
    string(JSON command GET "${json}" ${i} command)
    string(JSON file GET "${json}" ${i} file)
    string(REGEX MATCHALL "-ffp-contract=[a-z]+" contract "${command}")
    list(POP_BACK contract final)
    if(NOT final STREQUAL "-ffp-contract=off")
        message(SEND_ERROR "${file} is compiled with contraction (${final}): ${command}")
        math(EXPR bad "${bad} + 1")
    elseif(command MATCHES "-ffast-math|-Ofast|-funsafe-math-optimizations|-fassociative-math")
        message(SEND_ERROR "${file} is compiled with ${CMAKE_MATCH_0}: ${command}")
        math(EXPR bad "${bad} + 1")
    endif()
endforeach()
if(bad GREATER 0)
    message(FATAL_ERROR "${bad} of ${count} sources are compiled with their arithmetic changed")
endif()
message(STATUS "${count} sources, each compiled with -ffp-contract=off")
