# Benchmarks (Google Benchmark and plain latency programs); scripts/bench.sh builds them
# in Release and prints one table. Included from the top CMakeLists.txt.
find_package(benchmark REQUIRED)

add_executable(controller_bench ${CMAKE_CURRENT_LIST_DIR}/controller_bench.cpp)
target_include_directories(controller_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(controller_bench PRIVATE relaydeck_replay_lib benchmark::benchmark)

if(RELAYDECK_BUILD_UI)
    add_executable(ui_latency_bench ${CMAKE_CURRENT_LIST_DIR}/ui_latency_bench.cpp)
    target_include_directories(ui_latency_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(ui_latency_bench PRIVATE relaydeck_simulator relaydeck_replay_lib)
endif()

if(RELAYDECK_BUILD_UI AND TARGET relaydeck_web)
    add_executable(web_bench ${CMAKE_CURRENT_LIST_DIR}/web_bench.cpp)
    target_include_directories(web_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(web_bench PRIVATE relaydeck_ui relaydeck_replay_lib PkgConfig::HTTPLIB)
endif()
