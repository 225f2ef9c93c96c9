# A full-screen packed picture from the archive to a surface, and LZO unpacking against memcpy.
vrk_add_bench(bench_data SOURCES data/bench_packed_picture.cpp LIBS vrk_data PkgConfig::LZO2)
