# Exporting the whole built-in disk as tinselwave --export does it (every core, FLAC, tags,
# gains, modules, play list), against the same tunes only rendered on one core: the share the
# encoding, measuring and writing add, and how many times faster than real time it runs.
vrk_add_bench(bench_export SOURCES ${CMAKE_CURRENT_LIST_DIR}/export/export_bench.cpp
              LIBS vrk_export vrk_player vrkintro)
target_compile_definitions(bench_export PRIVATE VRK_BINARY_DIR="${CMAKE_BINARY_DIR}")
set_target_properties(bench_export PROPERTIES BUILD_RPATH "${CMAKE_BINARY_DIR}")
get_property(modules GLOBAL PROPERTY VRK_MUSIC_MODULES)
if(modules)
    vrk_embed_resources(bench_export FILES ${modules} DEPENDS vrk_music_modules)
endif()
get_property(intro_tune GLOBAL PROPERTY VRK_INTRO_TUNE)
get_property(intro_tune_target GLOBAL PROPERTY VRK_INTRO_TUNE_TARGET)
if(intro_tune)
    vrk_embed_resources(bench_export FILES ${intro_tune} NAMES INTROTUNE
                        DEPENDS ${intro_tune_target})
endif()
add_dependencies(bench_export vrk_content)
