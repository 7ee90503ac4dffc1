# The Debian package: "cpack -G DEB" (or the "package" target) in a Release build configured with
# the prefix /usr makes quillbox_<version>_<arch>.deb. ./scripts/dev.sh package does all of it.

set(QB_PACKAGE_MAINTAINER "The Quillbox Plus developers <quillbox@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# Debian's package documents: the licence in the machine-readable copyright format, and a
# changelog naming this version.
set(_doc_dir "${CMAKE_CURRENT_BINARY_DIR}/package-doc")
file(READ "${CMAKE_CURRENT_SOURCE_DIR}/LICENSE" _licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${_licence}")
set(_holder "${CMAKE_MATCH_1}")
# The licence's own text: the paragraphs after its copyright line, each line indented, empty
# lines written as " ." as the format asks.
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n\n" "" _terms "${_licence}")
string(STRIP "${_terms}" _terms)
string(REGEX REPLACE "\n\n" "\n.\n" _terms "${_terms}")
string(REGEX REPLACE "\n" "\n " _terms " ${_terms}")
file(WRITE "${_doc_dir}/copyright"
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quillbox Plus

Files: *
Copyright: ${_holder}
License: Expat

Files: data/icons/actions/*
Copyright: The Tango Desktop Project
License: public-domain
 The toolbar and tab images come unchanged from the Tango icon theme, which its
 authors placed in the public domain (dialer, painter and bullets excepted, which
 were drawn for Quillbox Plus and fall under the Expat licence above).

License: Expat
${_terms}
")

string(TIMESTAMP _date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${_doc_dir}/changelog"
"quillbox (${PROJECT_VERSION}) unstable; urgency=medium

  * Quillbox Plus ${PROJECT_VERSION}.

 -- ${QB_PACKAGE_MAINTAINER}  ${_date}
")

# Compressed without a time stamp in its header, as Debian wants.
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT "${_doc_dir}/changelog.gz"
  COMMAND ${GZIP_PROGRAM} -9nc "${_doc_dir}/changelog" > "${_doc_dir}/changelog.gz"
  DEPENDS "${_doc_dir}/changelog" VERBATIM)
add_custom_target(package_changelog ALL DEPENDS "${_doc_dir}/changelog.gz")
install(FILES "${_doc_dir}/copyright" "${_doc_dir}/changelog.gz" DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillbox)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillbox)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${QB_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "seven tabbed rich-text notes at hand from the notification area")
set(CPACK_PACKAGE_DESCRIPTION
"Quillbox Plus keeps seven tabbed rich-text notes at hand from the notification
area (system tray) of your desktop. Jot down notes, web addresses, e-mail
addresses and phone numbers; format them (bold, italic, underline, alignment,
bullets, fonts, a format painter); find and replace; print one tab or all of
them.

Double-click a web address to open it in your browser, an e-mail address to
write a message, a phone number to dial it. Notes are plain RTF files, so any
word processor can open them, and they can live on a shared network drive. An
optional password guards start-up.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binary itself; xdg-open is what opens web addresses, mail and the
# manual. QtKeychain reaches the desktop's keyring through libsecret, which it loads only when
# asked, so no library of ours names it. Locked notes run gpg, which asks gpg-agent for the
# passphrase we hand it (GPGME only recommends the agent). Spell checking and synced notes work
# once their packages are there.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, libsecret-1-0, gpg, gpg-agent")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hunspell-en-us | hunspell-dictionary, syncthing")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
