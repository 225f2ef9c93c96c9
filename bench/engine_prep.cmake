# The swizzle of a 256x256 texture against memcpy of the same 262144 bytes in the same run, and
# the preparation of a scene with 16 textures of 256x256 from a data file.
vrk_add_bench(bench_engine_prep
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine/prep_bench.cpp
            ${CMAKE_SOURCE_DIR}/tests/engine/support/prep_fixture.cpp
            ${CMAKE_SOURCE_DIR}/tests/data/test_files.cpp
    LIBS vrk_engine)
