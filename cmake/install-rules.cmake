# Installs the program as bin/update_wlan_status under the install prefix;
# DESTDIR is honoured, so packaging can stage a root filesystem with
# `cmake --install`.
include(GNUInstallDirs)

install(TARGETS update_wlan_status RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
                                           COMPONENT update_wlan_status)
