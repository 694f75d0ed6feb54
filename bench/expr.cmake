# Formula engine against muParser on the same formulas (muParser is needed
# only here).
find_package(benchmark REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(MUPARSER REQUIRED IMPORTED_TARGET muparser)

add_executable(bench_expr expr/ExprBenchmark.cpp)
target_link_libraries(bench_expr PRIVATE quillmere_expr benchmark::benchmark PkgConfig::MUPARSER quillmere_warnings)
