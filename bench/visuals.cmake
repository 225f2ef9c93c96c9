vrk_add_bench(bench_visuals
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/visuals/spans_bench.cpp
            ${CMAKE_CURRENT_LIST_DIR}/visuals/aurora_bench.cpp
    LIBS vrk_visuals)
