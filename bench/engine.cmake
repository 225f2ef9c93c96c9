# bench_engine: every source under bench/engine/. Mesa's llvmpipe through OSMesa is the peer of
# the triangle-list benchmark and a benchmark-only dependency (make bench installs it); without
# it the program is built without that peer.
file(GLOB engine_bench_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/engine/*.cpp)
# The preparation's benchmark is a program of its own (bench/engine_prep.cmake).
list(FILTER engine_bench_sources EXCLUDE REGEX "/prep_bench\\.cpp$")
pkg_check_modules(OSMESA IMPORTED_TARGET osmesa)
if(NOT OSMESA_FOUND)
    message(WARNING "OSMesa not found: bench_engine is built without its llvmpipe peer")
    list(FILTER engine_bench_sources EXCLUDE REGEX "_llvmpipe\\.cpp$")
endif()
vrk_add_bench(bench_engine SOURCES ${engine_bench_sources} LIBS vrk_engine)
target_include_directories(bench_engine PRIVATE ${CMAKE_CURRENT_LIST_DIR})
if(OSMESA_FOUND)
    target_link_libraries(bench_engine PRIVATE PkgConfig::OSMESA)
endif()
