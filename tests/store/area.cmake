# The delivered-database tests run the mkudb tool.
add_dependencies(test_store mkudb)
# Built on an engine of its own (QUILLORY_SQLCIPHER_SOURCE), the tests check
# that it is the engine that runs.
if(QUILLORY_SQLCIPHER_VERSION)
  target_compile_definitions(test_store PRIVATE QUILLORY_SQLCIPHER_VERSION="${QUILLORY_SQLCIPHER_VERSION}")
endif()
