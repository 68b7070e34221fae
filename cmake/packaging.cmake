# A Debian package of the install tree: `cpack -G DEB` in the build folder
# writes forkwell_1.0_amd64.deb.
set(CPACK_PACKAGE_NAME forkwell)
set(CPACK_PACKAGE_VENDOR "Forkwell developers")
set(CPACK_PACKAGE_CONTACT "Forkwell developers <forkwell@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small desktop food diary")
set(CPACK_PACKAGE_DESCRIPTION "\
Forkwell follows what you eat in a day. Pick a food from the food database,\n\
type a portion, and it shows the calories, fats, carbohydrates, proteins and\n\
cholesterol. The day's running totals show their percentages and colour the\n\
values outside the advised ranges, and every change goes into a readable\n\
food log. Forkwell History shows the days behind that log: a table of each\n\
day's figures, charts over weeks, months and years, the foods that gave\n\
the most calories, and a report to print or export. A starter database of\n\
common foods comes with it. Start them from the desktop's menu. Your data\n\
lives in ~/.local/share/forkwell.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# dpkg-shlibdeps finds the Qt libraries the programs link; the platform
# plugins Qt loads at run time it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")

include(CPack)
