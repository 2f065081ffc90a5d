# Quillory's own skin: packed from resources/skin by skinpack at build time and
# embedded as the SkinStream bytes of the main window's skin component; the
# program's built-in track pictures are embedded beside it.
set(QUILLORY_SKIN_FOLDER ${CMAKE_SOURCE_DIR}/resources/skin)
file(GLOB QUILLORY_SKIN_FILES CONFIGURE_DEPENDS ${QUILLORY_SKIN_FOLDER}/*.ini ${QUILLORY_SKIN_FOLDER}/*.bmp)
set(QUILLORY_SKIN_STREAM ${CMAKE_CURRENT_BINARY_DIR}/skin/Skin1.SkinStream)

add_custom_command(
  OUTPUT ${QUILLORY_SKIN_STREAM}
  COMMAND skinpack ${QUILLORY_SKIN_STREAM} ${QUILLORY_SKIN_FOLDER}
  DEPENDS skinpack ${QUILLORY_SKIN_FILES}
  COMMENT "Packing Quillory's skin"
  VERBATIM)

qt_add_resources(quillory_components quillory_skin
  PREFIX /skin
  BASE ${CMAKE_CURRENT_BINARY_DIR}/skin
  FILES ${QUILLORY_SKIN_STREAM})
qt_add_resources(quillory_components quillory_skin_builtin
  PREFIX /skin/builtin
  BASE ${QUILLORY_SKIN_FOLDER}/builtin
  FILES ${QUILLORY_SKIN_FOLDER}/builtin/TRACK.bmp ${QUILLORY_SKIN_FOLDER}/builtin/TRACKVERT.bmp)
