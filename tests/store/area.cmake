# The delivered-database tests run the mkudb tool.
add_dependencies(test_store mkudb)
