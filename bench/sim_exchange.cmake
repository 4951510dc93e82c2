# What one exchange with the built-in simulator costs: the program's own commands (a dBV
# reading, a filter menu read, a sweep step) carried out and answered, median over runs.
corvane_add_bench(sim_exchange SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_exchange.cpp LIBS corvane_sim)
