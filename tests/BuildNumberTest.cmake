# The build number of each version (cmake/Version.cmake): 1.0.0 keeps 1, every later version
# gets a larger number, and a version whose number could reach a later one's is refused.
#   cmake -DVERSION_SCRIPT=cmake/Version.cmake -P tests/BuildNumberTest.cmake
set(cases
  1.0.0=1 1.0.1=2 1.0.99=100 1.1.0=101 1.99.99=10000 2.0.0=10001 10.2.3=90204
  1.0.100=refused 1.100.0=refused 0.9.0=refused 1.0=refused 1.0.0-rc1=refused)
set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "=" ";" parts ${case})
  list(GET parts 0 version)
  list(GET parts 1 expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -DVERSION=${version} -P ${VERSION_SCRIPT}
                  OUTPUT_VARIABLE build ERROR_QUIET RESULT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    set(build refused)
  endif()
  if(NOT build STREQUAL expected)
    message(SEND_ERROR "${version}: ${build}, expected ${expected}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} build numbers wrong")
endif()
