# Loading a 20000-face scene against lib3ds loading the same file, and one scene_update of an
# animated 10000-vertex scene with transform and normals against copying its vertices.
vrk_add_bench(bench_scene SOURCES ${CMAKE_CURRENT_LIST_DIR}/scene/bench_scene.cpp
              LIBS vrk_scene 3ds)
