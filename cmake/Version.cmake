# The program's version and build number, both from the project's version.
#
# The build number is what an installed copy compares the update index's "ver" with: an index
# is offered only when its "ver" is above the copy's own build. It follows from the version,
# so a release cannot keep its predecessor's number and be offered itself again:
#   build = major * 10000 + minor * 100 + patch - 9999
# 1.0.0, the first release, stays build 1 (the number its installed copies already compare
# with); 1.0.1 is 2, 1.1.0 is 101, 2.0.0 is 10001. Minor and patch stay below 100 so that a
# later version always gets a larger number. ORVENNA_BUILD_NUMBER replaces the derived number
# for a rebuild that must be offered over one of the same version; it must stay above every
# build already published.

# orvenna_build_number(VERSION OUT): the build number of VERSION (x.y.z), or a fatal error.
function(orvenna_build_number version out)
  if(NOT version MATCHES "^([1-9][0-9]*)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "The version ${version} is not major.minor.patch with a major of 1 or more")
  endif()
  if(CMAKE_MATCH_2 GREATER 99 OR CMAKE_MATCH_3 GREATER 99)
    message(FATAL_ERROR "The version ${version} has a minor or patch above 99: its build number would not be above every earlier one")
  endif()
  math(EXPR build "${CMAKE_MATCH_1} * 10000 + ${CMAKE_MATCH_2} * 100 + ${CMAKE_MATCH_3} - 9999")
  set(${out} ${build} PARENT_SCOPE)
endfunction()

# cmake -DVERSION=x.y.z -P cmake/Version.cmake prints the build number of that version.
if(CMAKE_SCRIPT_MODE_FILE)
  orvenna_build_number("${VERSION}" build)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${build})
  return()
endif()

set(ORVENNA_BUILD_NUMBER "" CACHE STRING "The build number (the update index's ver); empty: derived from the version")
if(ORVENNA_BUILD_NUMBER STREQUAL "")
  orvenna_build_number(${PROJECT_VERSION} ORVENNA_PROGRAM_BUILD)
elseif(ORVENNA_BUILD_NUMBER MATCHES "^[1-9][0-9]*$")
  set(ORVENNA_PROGRAM_BUILD ${ORVENNA_BUILD_NUMBER})
else()
  message(FATAL_ERROR "ORVENNA_BUILD_NUMBER is not a positive whole number: ${ORVENNA_BUILD_NUMBER}")
endif()
