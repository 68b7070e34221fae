# SPDX-License-Identifier: GPL-3.0-or-later
# Turns one manual page from scdoc's form into roff and compresses it the
# way Debian does (gzip -9n: the best compression, no name or time stamp).
# The page is dated by the release, so the same sources give the same bytes.
#
#   cmake -DSCDOC=<scdoc> -DSOURCE=<page.1.scd> -DOUTPUT=<page.1.gz>
#         -DDATE_EPOCH=<seconds since 1970> -P manpage.cmake
string(REGEX REPLACE "\\.gz$" "" roff ${OUTPUT})
set(ENV{SOURCE_DATE_EPOCH} ${DATE_EPOCH})
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${roff}
    RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    file(REMOVE ${roff})
    message(FATAL_ERROR "scdoc cannot read ${SOURCE}: ${error}")
endif()
execute_process(COMMAND gzip -9nf ${roff} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot compress ${roff}")
endif()
