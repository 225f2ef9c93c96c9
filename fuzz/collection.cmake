# The run-time collection reader (collection files, the module cache) and the folding of what
# modules say, under libFuzzer. Run one at a time, e.g.:
#   build-fuzz/fuzz_collection_file -max_total_time=600
vrk_add_fuzz(fuzz_collection_file SOURCES collection/fuzz_collection_file.cpp LIBS vrk_collection)
vrk_add_fuzz(fuzz_module_facts SOURCES collection/fuzz_module_facts.cpp LIBS vrk_collection)
