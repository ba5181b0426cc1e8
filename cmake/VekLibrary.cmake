# vek_add_library(name LIBS ...): the static library of one folder, from every source
# file in it.
#
# A library's include path is only its own folder, under the folder's name in the source
# tree (a link in the build tree), and, through what it links, the folders of the libraries
# below it: a header of a floor above is not found, however the include is spelt.
# `<name>_closed` links the library whole with what it links and nothing else, so a call
# into a floor above (a forward declaration, say) fails to link.
function(vek_add_library name)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})

  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(view ${PROJECT_BINARY_DIR}/include/${name})
  get_filename_component(parent ${view}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${view}/${folder} SYMBOLIC)
  target_include_directories(${name} PUBLIC ${view})
  target_link_libraries(${name} PUBLIC ${L_LIBS} PRIVATE vek_warnings)

  add_executable(${name}_closed ${PROJECT_SOURCE_DIR}/cmake/closed.cpp)
  target_link_libraries(${name}_closed PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}>")
  set_target_properties(${name}_closed PROPERTIES RUNTIME_OUTPUT_DIRECTORY
    ${PROJECT_BINARY_DIR}/closed)
endfunction()

# vek_add_test_dir(name LIBS ...): one test program from every tst_*.cpp of the folder
# plus its main.cpp.
function(vek_add_test_dir name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  vek_add_test(${name} SOURCES ${sources} LIBS ${T_LIBS})
endfunction()
