# bench_sweep_wait: a filter sweep of a few steps on the real clock against corvane-k3sim on a
# pseudo-terminal; the elapsed time over the sum of the sweep's documented waits.
corvane_add_bench(sweep_wait
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/sweep_wait.cpp
  LIBS corvane_measurements corvane_link Qt6::Core)
if(TARGET corvane-k3sim)
  add_dependencies(bench_sweep_wait corvane-k3sim)
endif()
target_compile_definitions(bench_sweep_wait PRIVATE
  CORVANE_K3SIM_PATH="$<TARGET_FILE_DIR:bench_sweep_wait>/corvane-k3sim")
