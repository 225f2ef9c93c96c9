# One whole frame of a 10000-face scene, and the trail pass. Part of bench_engine when that
# program exists, else a program of its own.
set(frame_bench_source ${CMAKE_CURRENT_LIST_DIR}/engine/bench_frame.cpp)
if(TARGET bench_engine)
    target_sources(bench_engine PRIVATE ${frame_bench_source})
else()
    vrk_add_bench(bench_engine_frame SOURCES ${frame_bench_source} LIBS vrk_engine)
endif()
