# SPDX-License-Identifier: GPL-3.0-or-later
# What the package holds beside the programs, and the Debian package itself:
# `cpack -G DEB` in the build folder writes forkwell_1.0_amd64.deb.

# The maintainer, written once: the package's Maintainer field, the
# changelog's signatures and the AppStream metadata all take it from here.
set(FORKWELL_MAINTAINER "Forkwell developers <developers@forkwell.org>")
string(REGEX REPLACE " *<.*$" "" FORKWELL_MAINTAINER_NAME "${FORKWELL_MAINTAINER}")
string(REGEX REPLACE "^.*<(.*)>$" "\\1" FORKWELL_MAINTAINER_ADDRESS "${FORKWELL_MAINTAINER}")

# The release is the newest section of CHANGELOG.md, which must be this
# version; its date dates the changelog, the manual pages and the AppStream
# release.
set(changelog_source ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog_source})
file(STRINGS ${changelog_source} releases REGEX "^## ")
list(GET releases 0 newest)
if(NOT newest MATCHES "^## ([^ ]+) \\(([0-9-]+)\\)$" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "CHANGELOG.md's newest section \"${newest}\" is not the release ${PROJECT_VERSION}: "
        "head it \"## ${PROJECT_VERSION} (YYYY-MM-DD)\"")
endif()
set(FORKWELL_RELEASE_DATE ${CMAKE_MATCH_2})
execute_process(COMMAND date -u -d "${FORKWELL_RELEASE_DATE} 12:00:00" +%s
    OUTPUT_VARIABLE FORKWELL_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# The programs the package holds, each with its manual page and named in
# the AppStream metadata, with the menu entries and screenshots that go with
# them.
set(FORKWELL_PROGRAMS forkwell forkwell-launcher forkwell-import-usda forkwell-history forkwell-recipes)
set(FORKWELL_DESKTOP_ENTRIES org.forkwell.Forkwell.desktop org.forkwell.Forkwell.History.desktop
    org.forkwell.Forkwell.Recipes.desktop)
set(FORKWELL_SCREENSHOTS
    "main-window.png|The main window, with a food chosen and the day's running totals"
    "history-window.png|Forkwell History, with the days of a month, the amount chosen charted against its limit, the shares and the top foods"
    "recipes-window.png|Forkwell Recipes, with a soup's ingredients, its totals and one serving, and foods found by two words")

add_subdirectory(man)
add_subdirectory(desktop)

# The copyright notice and the changelog, where Debian keeps them.
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/forkwell)
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${changelog_source} -DOUTPUT=${changelog} -DPACKAGE=forkwell
        -DMAINTAINER=${FORKWELL_MAINTAINER} -P ${PROJECT_SOURCE_DIR}/cmake/changelog.cmake
    DEPENDS ${changelog_source} ${PROJECT_SOURCE_DIR}/cmake/changelog.cmake
    COMMENT "Writing the changelog"
    VERBATIM)
add_custom_target(forkwell_changelog ALL DEPENDS ${changelog})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog} DESTINATION ${doc_dir})

# What lintian is told about on purpose, with the reason beside it.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME forkwell)

# A stripped program loses the compiler's notes too (the sections .comment
# and .note), as Debian strips its programs.
foreach(program IN LISTS FORKWELL_PROGRAMS)
    if(TARGET ${program}) # the launcher is a script
        install(CODE "
            if(CMAKE_INSTALL_DO_STRIP)
                execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${program}>\"
                    COMMAND_ERROR_IS_FATAL ANY)
            endif()")
    endif()
endforeach()

set(CPACK_PACKAGE_NAME forkwell)
set(CPACK_PACKAGE_VENDOR "${FORKWELL_MAINTAINER_NAME}")
set(CPACK_PACKAGE_CONTACT "${FORKWELL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small desktop food diary")
set(CPACK_PACKAGE_DESCRIPTION "\
Forkwell follows what you eat in a day. Pick a food from the food database,\n\
type a portion, and it shows the calories, fats, carbohydrates, proteins and\n\
cholesterol. The day's running totals show their percentages and colour the\n\
values outside the advised ranges, and every change goes into a readable\n\
food log. Forkwell History shows the days behind that log: a table of each\n\
day's figures, charts over weeks, months and years, the foods that gave\n\
the most calories, and a report to print or export. Forkwell Recipes\n\
builds a home-cooked dish from the database's foods, found by any word of\n\
their names, shows its totals and one serving's values, and saves a\n\
serving as a food of its own. A starter database of common foods comes\n\
with it. Start them from the desktop's menu. Your data lives in\n\
~/.local/share/forkwell.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# dpkg-shlibdeps finds the Qt libraries the programs link; the platform
# plugins Qt loads at run time it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")

include(CPack)
