# Decoding an XM and a MOD through the player's renderer, in CPU time per second of audio and
# against memcpy of the same output bytes; the cost of the level and position queries while a
# tune plays. The modules are the ones the audio tests fetch.
set(bench_modules ${CMAKE_BINARY_DIR}/test-modules)
if(TARGET audio_test_modules)
    # The tests fetch them already; one rule per file keeps every generator happy.
    add_custom_target(audio_bench_modules)
    add_dependencies(audio_bench_modules audio_test_modules)
else()
    add_custom_command(OUTPUT ${bench_modules}/dali.xm ${bench_modules}/high-score.mod
                       COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-test-modules.sh ${bench_modules}
                       COMMENT "Fetching test modules from Debian packages")
    add_custom_target(audio_bench_modules
                      DEPENDS ${bench_modules}/dali.xm ${bench_modules}/high-score.mod)
endif()
vrk_add_bench(bench_audio SOURCES ${CMAKE_CURRENT_LIST_DIR}/audio/audio_bench.cpp
              LIBS vrk_audio vrk_platform PkgConfig::OPENMPT)
vrk_embed_resources(bench_audio FILES ${bench_modules}/dali.xm ${bench_modules}/high-score.mod
                    DEPENDS audio_bench_modules)
