# bench_wait_overhead: how much longer than its documented waits a procedure takes on the
# real clock over a serial port (corvane-k3sim on a pty), and what the same procedure costs
# on the virtual clock.
corvane_add_bench(wait_overhead
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wait_overhead.cpp
  LIBS corvane_link Qt6::Core)
if(TARGET corvane-k3sim)
  add_dependencies(bench_wait_overhead corvane-k3sim)
endif()
