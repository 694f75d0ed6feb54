# What syncing rewritten files costs: per file, or once per batch.
add_executable(bench_sync fileio/SyncBench.cpp)
target_link_libraries(bench_sync PRIVATE quillmere_warnings)
