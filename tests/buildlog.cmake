# The daily logs beside the built programs stay as they were while the tests run: every
# test program has a data folder of its own, so a line added there is a test that wrote
# without one.
#   cmake -DBIN=<program folder> -DSTATE=<file> -DMODE=note  -P buildlog.cmake
#   cmake -DBIN=<program folder> -DSTATE=<file> -DMODE=check -P buildlog.cmake
# note: keeps the size of every *.ENG there; check: fails with the lines added since.
file(GLOB logs "${BIN}/*.ENG")

if(MODE STREQUAL "note")
  set(sizes "")
  foreach(log IN LISTS logs)
    file(SIZE "${log}" size)
    string(APPEND sizes "${log}=${size}\n")
  endforeach()
  file(WRITE "${STATE}" "${sizes}")
  return()
endif()

set(noted "")
if(EXISTS "${STATE}")
  file(STRINGS "${STATE}" noted)
endif()
set(added "")
foreach(log IN LISTS logs)
  file(SIZE "${log}" size)
  set(before 0)
  foreach(entry IN LISTS noted)
    if(entry MATCHES "^(.*)=([0-9]+)$" AND CMAKE_MATCH_1 STREQUAL log)
      set(before ${CMAKE_MATCH_2})
    endif()
  endforeach()
  if(size GREATER before)
    file(READ "${log}" lines OFFSET ${before})
    string(APPEND added "${log}:\n${lines}\n")
  endif()
endforeach()
if(added)
  message(FATAL_ERROR "A test wrote into the build folder's daily log instead of its own "
                      "data folder (TestHome; put VEK_HOME back after changing it):\n${added}")
endif()
