# The benchmarks: a target of their own (never a timed test), Linux only. The bench preset
# turns them on; bench/run.sh runs them and prints the figures.
option(QOR_BENCH "Build the benchmarks" OFF)
if(QOR_BENCH AND NOT WIN32)
  find_package(benchmark REQUIRED)

  # Gate path, through the built driver library as a host calls it.
  add_library(qorbvn_gate_scenarios STATIC ${CMAKE_SOURCE_DIR}/bench/gate_scenarios.cpp)
  target_include_directories(qorbvn_gate_scenarios PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(qorbvn_gate_scenarios PUBLIC QorBVN Tembrix3 hostrt)

  add_executable(qorbvn_gate_bench ${CMAKE_SOURCE_DIR}/bench/gate_bench.cpp)
  target_link_libraries(qorbvn_gate_bench PRIVATE qorbvn_gate_scenarios benchmark::benchmark)

  add_executable(qorbvn_gate_instructions ${CMAKE_SOURCE_DIR}/bench/gate_instructions.cpp)
  target_link_libraries(qorbvn_gate_instructions PRIVATE qorbvn_gate_scenarios)

  # Serial path: the port primitives over the POSIX layer, beside the termios floor.
  add_executable(qorbvn_serial_bench ${CMAKE_SOURCE_DIR}/bench/serial_bench.cpp)
  target_link_libraries(qorbvn_serial_bench PRIVATE qorbvn_core)

  add_custom_target(bench DEPENDS qorbvn_gate_bench qorbvn_gate_instructions qorbvn_serial_bench)
endif()
