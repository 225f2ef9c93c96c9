# Both 3DS loaders and the update under libFuzzer. Seeds: the assimp test models, e.g.
#   build-fuzz/fuzz_scene -max_total_time=600 corpus/ /usr/share/assimp/models/3DS/
vrk_add_fuzz(fuzz_scene SOURCES scene/fuzz_scene.cpp LIBS vrk_scene)
