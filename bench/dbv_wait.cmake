# bench_dbv_wait: a real-clock dBV full test over corvane-k3sim on a pseudo-terminal; prints
# the elapsed time over the sum of the documented waits.
if(TARGET corvane_measurements AND TARGET corvane-k3sim)
  corvane_add_bench(dbv_wait SOURCES ${CMAKE_CURRENT_LIST_DIR}/dbv_wait.cpp ${CMAKE_CURRENT_LIST_DIR}/realclockwait.h
    LIBS corvane_measurements corvane_link corvane_core Qt6::Core)
  add_dependencies(bench_dbv_wait corvane-k3sim)
endif()
