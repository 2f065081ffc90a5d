# The main window's pictures and icons for screens of scale 1 and 2, painted by tools/artwork.
qt_add_resources(quillory_components "pictures"
  PREFIX "/"
  BASE ${CMAKE_SOURCE_DIR}/resources
  FILES
    ${CMAKE_SOURCE_DIR}/resources/pictures/banner.jpg
    ${CMAKE_SOURCE_DIR}/resources/pictures/banner@2x.jpg
    ${CMAKE_SOURCE_DIR}/resources/pictures/about.jpg
    ${CMAKE_SOURCE_DIR}/resources/pictures/about@2x.jpg
    ${CMAKE_SOURCE_DIR}/resources/icons/window16.png
    ${CMAKE_SOURCE_DIR}/resources/icons/window32.png
    ${CMAKE_SOURCE_DIR}/resources/icons/tray32.png
    ${CMAKE_SOURCE_DIR}/resources/icons/tray64.png)
