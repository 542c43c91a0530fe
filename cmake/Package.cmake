# The installed layout and the Debian package (`make package`, cpack's DEB
# generator). The program keeps its bundle layout under /usr/lib/vezizo, with
# the shipped market table beside Vezizo.app as in the build folder; the
# program copies it into a user's application folder on its first start.
set(VEZIZO_LIB_DIR "lib/vezizo")
set(VEZIZO_DOC_DIR "share/doc/vezizo")
set(VEZIZO_PACKAGING "${CMAKE_SOURCE_DIR}/packaging")
set(VEZIZO_STAGED "${CMAKE_BINARY_DIR}/packaging")

install(TARGETS vezizo RUNTIME DESTINATION "${VEZIZO_LIB_DIR}/Vezizo.app/Contents/MacOS")
install(FILES "${CMAKE_SOURCE_DIR}/Resources/market.csv" DESTINATION "${VEZIZO_LIB_DIR}")

# /usr/bin/vezizo: the program finds its bundle through /proc/self/exe, which
# names the link's target.
file(MAKE_DIRECTORY "${VEZIZO_STAGED}")
file(CREATE_LINK "../${VEZIZO_LIB_DIR}/Vezizo.app/Contents/MacOS/vezizo"
     "${VEZIZO_STAGED}/vezizo" SYMBOLIC)
install(FILES "${VEZIZO_STAGED}/vezizo" DESTINATION bin)

install(FILES "${VEZIZO_PACKAGING}/vezizo.desktop" DESTINATION share/applications)
install(FILES "${VEZIZO_PACKAGING}/vezizo.svg" DESTINATION share/icons/hicolor/scalable/apps)
install(FILES "${VEZIZO_PACKAGING}/vezizo-fetch.service" "${VEZIZO_PACKAGING}/vezizo-fetch.timer"
        DESTINATION lib/systemd/user)

# Debian keeps manual pages and change logs compressed, without a time stamp.
configure_file("${VEZIZO_PACKAGING}/vezizo.1.in" "${VEZIZO_STAGED}/vezizo.1" @ONLY)
configure_file("${VEZIZO_PACKAGING}/changelog.in" "${VEZIZO_STAGED}/changelog" @ONLY)
foreach(name vezizo.1 changelog)
    add_custom_command(OUTPUT "${VEZIZO_STAGED}/${name}.gz"
                       COMMAND gzip -9nf -k "${VEZIZO_STAGED}/${name}"
                       DEPENDS "${VEZIZO_STAGED}/${name}" VERBATIM)
endforeach()
add_custom_target(vezizo_installed_docs DEPENDS "${VEZIZO_STAGED}/vezizo.1.gz"
                                               "${VEZIZO_STAGED}/changelog.gz")
# Building the program makes everything the package holds.
add_dependencies(vezizo vezizo_installed_docs)
install(FILES "${VEZIZO_STAGED}/vezizo.1.gz" DESTINATION share/man/man1)
install(FILES "${VEZIZO_PACKAGING}/lintian-overrides" DESTINATION share/lintian/overrides
        RENAME vezizo)
install(FILES "${VEZIZO_STAGED}/changelog.gz" "${VEZIZO_PACKAGING}/copyright"
              "${CMAKE_SOURCE_DIR}/README.md"
        DESTINATION "${VEZIZO_DOC_DIR}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vezizo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Vezizo developers <vezizo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese stock quotes for stock-chart programs")
set(CPACK_PACKAGE_DESCRIPTION
    "Vezizo downloads the pages of a Japanese stock-quote web service and writes\n"
    "the data files that stock-chart programs read: the daily quote file, the\n"
    "finance file, a price history per stock, the fetch list and an extension\n"
    "dictionary. It runs as a desktop program and from the command line, and a\n"
    "user timer runs the daily fetch on weekdays.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Japanese labels need a CJK font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)
include(CPack)
