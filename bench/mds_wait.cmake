# bench_mds_wait: corvane-cli mds on the real clock against corvane-k3sim on a
# pseudo-terminal; the waits its trace shows against the documented ones, and the elapsed
# time over their sum.
if(TARGET corvane-cli AND TARGET corvane-k3sim)
  corvane_add_bench(mds_wait SOURCES ${CMAKE_CURRENT_LIST_DIR}/mds_wait.cpp
    ${CMAKE_CURRENT_LIST_DIR}/realclockwait.h LIBS corvane_link Qt6::Core)
  target_compile_definitions(bench_mds_wait PRIVATE
    CORVANE_MDS_GOLDEN_TRACE="${CMAKE_SOURCE_DIR}/tests/mds/data/mds-preamp.trace")
  add_dependencies(bench_mds_wait corvane-cli corvane-k3sim)
endif()
