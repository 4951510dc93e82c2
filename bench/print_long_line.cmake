# Peak memory of corvane-cli print on a 20 MB one-line text file (the line is cut for print).
corvane_add_bench(print_long_line
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_long_line.cpp
  LIBS Qt6::Core)
add_dependencies(bench_print_long_line corvane-cli)
