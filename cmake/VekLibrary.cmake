# vek_add_library(name LIBS ...): the static library of one folder, from every source
# file in it.
function(vek_add_library name)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS} PRIVATE vek_warnings)
endfunction()

# vek_add_test_dir(name LIBS ...): one test program from every tst_*.cpp of the folder
# plus its main.cpp.
function(vek_add_test_dir name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  vek_add_test(${name} SOURCES ${sources} LIBS ${T_LIBS})
endfunction()
