# Scene files rendered with the engine under libFuzzer; see fuzz/engine/fuzz_engine.cpp.
vrk_add_fuzz(fuzz_engine SOURCES engine/fuzz_engine.cpp LIBS vrk_engine)
