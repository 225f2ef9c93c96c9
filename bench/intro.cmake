vrk_add_bench(bench_intro
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/intro/scene_frames_bench.cpp
    LIBS vrk_intro)
target_compile_definitions(bench_intro PRIVATE VRK_BINARY_DIR="${CMAKE_BINARY_DIR}")
# The scenes come from this build's data file.
add_dependencies(bench_intro vrk_data_file)
