# The data file reader, both TGA readers and the packed-picture loader under libFuzzer.
# Build: CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVRK_FUZZ=ON && cmake --build build-fuzz
# Run one at a time, e.g.: build-fuzz/fuzz_archive -max_total_time=300 -rss_limit_mb=2048
vrk_add_fuzz(fuzz_archive SOURCES data/fuzz_archive.cpp data/memory_file.cpp LIBS vrk_data)
vrk_add_fuzz(fuzz_tga_reader SOURCES data/fuzz_tga_reader.cpp data/memory_file.cpp LIBS vrk_data)
vrk_add_fuzz(fuzz_tga_player SOURCES data/fuzz_tga_player.cpp data/memory_file.cpp LIBS vrk_data)
vrk_add_fuzz(fuzz_packed_picture SOURCES data/fuzz_packed_picture.cpp data/memory_file.cpp
             LIBS vrk_data)
