# dist/Korimbo-<version>.zip: the folder a dock expects in its plug-in folder,
# Korimbo/ with the DLL and its four pictures, and a short install text.
set(KORIMBO_PACKAGE_ROOT ${CMAKE_BINARY_DIR}/package)
set(KORIMBO_PACKAGE_ZIP ${PROJECT_SOURCE_DIR}/dist/Korimbo-${PROJECT_VERSION}.zip)

add_custom_target(package_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORIMBO_PACKAGE_ROOT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KORIMBO_PACKAGE_ROOT}/Korimbo ${PROJECT_SOURCE_DIR}/dist
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Korimbo> ${KORIMBO_PICTURES} ${KORIMBO_PACKAGE_ROOT}/Korimbo/
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/assets/INSTALL.txt ${KORIMBO_PACKAGE_ROOT}/Korimbo/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KORIMBO_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${KORIMBO_PACKAGE_ROOT}
          ${CMAKE_COMMAND} -E tar cf ${KORIMBO_PACKAGE_ZIP} --format=zip Korimbo
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS Korimbo
  COMMENT "Packing ${KORIMBO_PACKAGE_ZIP}"
  VERBATIM)
