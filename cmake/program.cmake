# Velmarook2.exe, its generated resources, and the base folder layout it runs
# in (build/win64/dist), which `make dist` copies out.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VEL_GENERATED_RESOURCES ${CMAKE_BINARY_DIR}/generated/resource)
add_custom_command(
  OUTPUT ${VEL_GENERATED_RESOURCES}/wait_anime.bmp ${VEL_GENERATED_RESOURCES}/velmarook.ico
         ${VEL_GENERATED_RESOURCES}/toolbar.bmp ${VEL_GENERATED_RESOURCES}/HistBar.bmp
         ${VEL_GENERATED_RESOURCES}/images.bmp ${VEL_GENERATED_RESOURCES}/QueryTree16.bmp
         ${VEL_GENERATED_RESOURCES}/QueryTree32.bmp ${VEL_GENERATED_RESOURCES}/MasterIcons16.bmp
         ${VEL_GENERATED_RESOURCES}/MasterIcons32.bmp
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_resources.py ${VEL_GENERATED_RESOURCES}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_resources.py
  COMMENT "Drawing the program's bitmaps")

set(VEL_ICON_FILE ${VEL_GENERATED_RESOURCES}/velmarook.ico)
set(VEL_MANIFEST_FILE ${CMAKE_SOURCE_DIR}/resource/velmarook.manifest)
configure_file(${CMAKE_SOURCE_DIR}/resource/velmarook.rc.in ${CMAKE_BINARY_DIR}/generated/velmarook.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/velmarook.rc PROPERTIES
  OBJECT_DEPENDS "${VEL_GENERATED_RESOURCES}/velmarook.ico;${VEL_MANIFEST_FILE}")

add_executable(velmarook2 WIN32 ${VEL_WIN_APP_SOURCES} ${CMAKE_BINARY_DIR}/generated/velmarook.rc)
target_link_libraries(velmarook2 PRIVATE vel_core comctl32 gdiplus ole32 shell32 comdlg32 uxtheme msimg32)
set_target_properties(velmarook2 PROPERTIES OUTPUT_NAME "Velmarook2")

# The base folder: program, companion library and resource folder.
set(VEL_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
add_custom_target(dist_folder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VEL_DIST_DIR}/resource
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:velmarook2_getcrc> ${VEL_DIST_DIR}/
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:velmarook2> $<TARGET_FILE:velmarook2_lib>
          $<TARGET_FILE:vel_regex_extension> ${VEL_DIST_DIR}/
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resource/pophelp.txt ${CMAKE_SOURCE_DIR}/resource/favorite.ini
          ${CMAKE_SOURCE_DIR}/resource/snapnotify.ini
          ${VEL_GENERATED_RESOURCES}/wait_anime.bmp ${VEL_GENERATED_RESOURCES}/velmarook.ico
          ${VEL_GENERATED_RESOURCES}/toolbar.bmp ${VEL_GENERATED_RESOURCES}/HistBar.bmp
          ${VEL_GENERATED_RESOURCES}/images.bmp ${VEL_GENERATED_RESOURCES}/QueryTree16.bmp
          ${VEL_GENERATED_RESOURCES}/QueryTree32.bmp ${VEL_GENERATED_RESOURCES}/MasterIcons16.bmp
          ${VEL_GENERATED_RESOURCES}/MasterIcons32.bmp ${VEL_DIST_DIR}/resource/
  # The two colour themes shipped: one equal to the defaults and a dark one.
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VEL_DIST_DIR}/color_theme
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resource/color_theme/Light.col
          ${CMAKE_SOURCE_DIR}/resource/color_theme/Dark.col ${VEL_DIST_DIR}/color_theme/
  # The software keyboard that works out of the box.
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/softkey ${VEL_DIST_DIR}/softkey
  DEPENDS velmarook2 velmarook2_lib velmarook2_getcrc vel_regex_extension ${VEL_GENERATED_RESOURCES}/wait_anime.bmp
  COMMENT "Assembling the base folder in ${VEL_DIST_DIR}")
