# A saved 32767-point sweep file charted from disk, as Create Chart, Filter Sweep does.
corvane_add_bench(chart_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_file.cpp
  LIBS corvane_charts_ui Qt6::Test)
