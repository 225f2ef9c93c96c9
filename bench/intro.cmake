vrk_add_bench(bench_intro
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/intro/scene_frames_bench.cpp
    LIBS vrk_intro)
target_compile_definitions(bench_intro PRIVATE VRK_BINARY_DIR="${CMAKE_BINARY_DIR}")
