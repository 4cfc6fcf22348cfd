# Installs the build tree at BUILD_DIR with prefix /usr into DESTDIR=STAGE, as
# root filesystem packaging does, and checks that exactly the program lands
# at usr/bin/update_wlan_status.
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE} ${CMAKE_COMMAND} --install
                        "${BUILD_DIR}" --prefix /usr RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
file(GLOB_RECURSE installed RELATIVE "${STAGE}" "${STAGE}/*")
if(NOT installed STREQUAL "usr/bin/update_wlan_status")
  message(FATAL_ERROR "installed: '${installed}', expected only usr/bin/update_wlan_status")
endif()
execute_process(COMMAND test -x "${STAGE}/usr/bin/update_wlan_status" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "usr/bin/update_wlan_status is not executable")
endif()
file(REMOVE_RECURSE "${STAGE}")
