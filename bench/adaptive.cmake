# bench_adaptive: the adaptive sweep, linear range test and filter survey against the dense
# fixed-step runs on the simulator (receiver noise on, 20 seeds): points measured and answers.
if(TARGET corvane_measurements AND TARGET corvane_survey)
  corvane_add_bench(adaptive SOURCES ${CMAKE_CURRENT_LIST_DIR}/adaptive.cpp
    LIBS corvane_survey corvane_measurements corvane_analysis corvane_link corvane_sim corvane_core
    Qt6::Core)
endif()
