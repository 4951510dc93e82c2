# bench_sweep_wait: a filter sweep of a few steps on the real clock against corvane-k3sim on a
# pseudo-terminal; the elapsed time over the sum of the sweep's documented waits.
if(TARGET corvane_measurements AND TARGET corvane-k3sim)
  corvane_add_bench(sweep_wait SOURCES ${CMAKE_CURRENT_LIST_DIR}/sweep_wait.cpp
    ${CMAKE_CURRENT_LIST_DIR}/realclockwait.h LIBS corvane_measurements corvane_link Qt6::Core)
  add_dependencies(bench_sweep_wait corvane-k3sim)
endif()
