# Writes the menu entry of the installed program (run by `cmake --install`, which sets
# CMAKE_INSTALL_PREFIX). The program's path is quoted as a desktop file's Exec key asks: in
# double quotes with '\', '"', '`' and '$' escaped and '%' doubled, then with '\' doubled once more
# as every key file value is escaped.
set(program "${CMAKE_INSTALL_PREFIX}/bin/brindlex")
set(quoted "${program}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
string(REPLACE "\\" "\\\\" BMC_EXEC "\"${quoted}\"")
string(REPLACE "\\" "\\\\" BMC_TRY_EXEC "${program}")
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/brindlex.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${BMC_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
