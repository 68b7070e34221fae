# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the package's changelog from CHANGELOG.md in the form Debian reads
# and compresses it with gzip -9n. Each "## <version> (<YYYY-MM-DD>)" section
# becomes one entry, each "- " item one "  * " line of it, its indented
# continuation lines following; the entry is signed by the maintainer on the
# release's date. Anything else (the title, notes) is left out.
#
#   cmake -DSOURCE=<CHANGELOG.md> -DOUTPUT=<changelog.gz> -DPACKAGE=<name>
#         "-DMAINTAINER=<Name <address>>" -P changelog.cmake
file(STRINGS ${SOURCE} lines ENCODING UTF-8)
set(text "")
set(entry_open FALSE)
set(signature "")
set(line_number 0)

foreach(line IN LISTS lines)
    math(EXPR line_number "${line_number} + 1")
    if(line MATCHES "^## ")
        if(NOT line MATCHES "^## ([0-9][0-9A-Za-z.+~-]*) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
            message(FATAL_ERROR "${SOURCE}:${line_number}: a release is headed \"## <version> (YYYY-MM-DD)\"")
        endif()
        set(version ${CMAKE_MATCH_1})
        execute_process(COMMAND date -u -R -d "${CMAKE_MATCH_2} 12:00:00"
            OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "${SOURCE}:${line_number}: ${CMAKE_MATCH_2} is not a date")
        endif()
        string(APPEND text "${signature}${PACKAGE} (${version}) unstable; urgency=medium\n\n")
        set(signature "\n -- ${MAINTAINER}  ${date}\n\n")
        set(entry_open TRUE)
    elseif(entry_open AND line MATCHES "^- (.*)$")
        string(APPEND text "  * ${CMAKE_MATCH_1}\n")
    elseif(entry_open AND line MATCHES "^  +([^ ].*)$")
        string(APPEND text "    ${CMAKE_MATCH_1}\n")
    elseif(entry_open AND NOT line STREQUAL "")
        message(FATAL_ERROR "${SOURCE}:${line_number}: a release holds \"- \" items and their indented lines")
    endif()
    string(LENGTH "${line}" length)
    if(entry_open AND length GREATER 76)
        message(FATAL_ERROR "${SOURCE}:${line_number}: longer than 76 characters")
    endif()
endforeach()
if(signature STREQUAL "")
    message(FATAL_ERROR "${SOURCE} holds no release")
endif()
string(APPEND text "${signature}")
string(REGEX REPLACE "\n\n$" "\n" text "${text}")

string(REGEX REPLACE "\\.gz$" "" plain ${OUTPUT})
file(WRITE ${plain} "${text}")
execute_process(COMMAND gzip -9nf ${plain} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot compress ${plain}")
endif()
