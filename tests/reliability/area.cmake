# The fault-injection driver is a program of its own that the tests start and
# kill; its sources are not part of the test program.
get_target_property(reliability_sources test_reliability SOURCES)
list(FILTER reliability_sources EXCLUDE REGEX "/driver/")
set_target_properties(test_reliability PROPERTIES SOURCES "${reliability_sources}")

add_executable(faultdriver ${CMAKE_CURRENT_LIST_DIR}/driver/FaultDriver.cpp)
set_target_properties(faultdriver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(faultdriver PRIVATE quillory_testsupport)
add_dependencies(test_reliability faultdriver)
target_compile_definitions(test_reliability PRIVATE QUILLORY_FAULT_DRIVER="$<TARGET_FILE:faultdriver>")
