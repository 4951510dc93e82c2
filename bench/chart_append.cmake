# Rows appended one by one to a shown sweep chart window, with a repaint pass after each.
corvane_add_bench(chart_append
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_append.cpp
  LIBS corvane_charts_ui Qt6::Test)
