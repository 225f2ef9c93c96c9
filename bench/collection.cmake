# Opening a folder of modules as a disk (100 and 5,000, cold and warm), measuring them and
# laying their table out. Uses the collection's generated modules.
vrk_add_bench(bench_collection SOURCES ${CMAKE_CURRENT_LIST_DIR}/collection/collection_bench.cpp
              LIBS vrk_collection)
target_compile_definitions(bench_collection PRIVATE VRK_BINARY_DIR="${CMAKE_BINARY_DIR}")
add_dependencies(bench_collection vrk_music_modules)
