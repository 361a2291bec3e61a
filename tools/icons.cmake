# rendericon draws the program's SVG icon into the PNG sizes the installation adds beside it
# (packaging/CMakeLists.txt runs it).
add_executable(rendericon ${CMAKE_CURRENT_LIST_DIR}/rendericon/main.cpp)
target_link_libraries(rendericon PRIVATE Qt6::Gui Qt6::Svg)
