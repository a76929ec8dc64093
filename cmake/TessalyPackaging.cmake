# `cpack -G DEB` in the build folder: a Debian package of the system layout
# under /usr, its library dependencies worked out by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR "The Tessaly developers")
set(CPACK_PACKAGE_CONTACT "The Tessaly developers <tessaly@tessaly.org>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "greeting card designer")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaly designs and prints half-fold cards and postcards from ready-made\n"
    "templates: type into the card's text boxes, move and resize them, put a\n"
    "photograph into the picture frame, then print the card or export it as\n"
    "a BMP or JPEG picture.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessaly.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link shows: the windowing plugins Qt loads at start.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The faces the shipped templates' texts are set in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-dancingscript, fonts-ebgaramond, fonts-comfortaa")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# A Debian package carries its copyright and changelog under
# /usr/share/doc/<package>/ (the changelog compressed, reproducibly).
set(TESSALY_DOC_DIR "${CMAKE_BINARY_DIR}/package-doc")
configure_file("${CMAKE_SOURCE_DIR}/cmake/debian/copyright" "${TESSALY_DOC_DIR}/copyright" COPYONLY)
string(TIMESTAMP TESSALY_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file("${CMAKE_SOURCE_DIR}/cmake/debian/changelog.in" "${TESSALY_DOC_DIR}/changelog" @ONLY)
find_program(TESSALY_GZIP gzip)
add_custom_command(
    OUTPUT "${TESSALY_DOC_DIR}/changelog.gz"
    COMMAND "${TESSALY_GZIP}" -n -9 -c "${TESSALY_DOC_DIR}/changelog" > "${TESSALY_DOC_DIR}/changelog.gz"
    DEPENDS "${TESSALY_DOC_DIR}/changelog"
    VERBATIM)
add_custom_target(tessaly_package_doc ALL DEPENDS "${TESSALY_DOC_DIR}/changelog.gz")
install(FILES "${TESSALY_DOC_DIR}/copyright" "${TESSALY_DOC_DIR}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tessaly")

include(CPack)
