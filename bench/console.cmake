vrk_add_bench(bench_console SOURCES ${CMAKE_CURRENT_LIST_DIR}/console_bench.cpp LIBS vrk_console)
