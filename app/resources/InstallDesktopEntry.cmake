# Run by `cmake --install`: writes the desktop entry with the path of the program as installed
# (the prefix given at install time, without DESTDIR) and installs it into share/applications.
# Set before: QUILLET_DESKTOP_TEMPLATE, QUILLET_DESKTOP_WORK, QUILLET_BINDIR, QUILLET_DATADIR.
if(IS_ABSOLUTE "${QUILLET_BINDIR}")
  set(program "${QUILLET_BINDIR}/quillet")
else()
  set(program "${CMAKE_INSTALL_PREFIX}/${QUILLET_BINDIR}/quillet")
endif()

# The Exec key holds the program quoted: inside the quotes a backslash, a double quote, a back
# quote and a dollar sign are escaped with a backslash, and the key's value escapes each backslash
# once more; a percent sign is doubled.
set(exec "${program}")
string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
string(REPLACE "\"" "\\\\\"" exec "${exec}")
string(REPLACE "`" "\\\\`" exec "${exec}")
string(REPLACE "$" "\\\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(QUILLET_DESKTOP_EXEC "\"${exec}\"")

configure_file("${QUILLET_DESKTOP_TEMPLATE}" "${QUILLET_DESKTOP_WORK}/quillet.desktop" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${QUILLET_DATADIR}/applications" TYPE FILE
  FILES "${QUILLET_DESKTOP_WORK}/quillet.desktop")
