# Every test of the suite can be run again by its name: no name carries the
# raw bytes of a parameter that has no printer (gtest's "N-byte object
# <..>", which can hold heap addresses that change from build to build).
# Run with -DCTEST=<ctest> -DCONSTRUCCION=<build folder>.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${CTEST} -N --test-dir ${CONSTRUCCION}
  OUTPUT_VARIABLE lista RESULT_VARIABLE estado)
if(NOT estado EQUAL 0)
  message(FATAL_ERROR "ctest -N failed (${estado})")
endif()
string(REPLACE "\n" ";" lineas "${lista}")
set(malos 0)
foreach(linea ${lineas})
  if(linea MATCHES "byte object")
    math(EXPR malos "${malos} + 1")
    if(malos LESS_EQUAL 5)
      message(SEND_ERROR "A test name with a parameter's raw bytes (give its suite a PrintTo):\n${linea}")
    endif()
  endif()
endforeach()
if(malos GREATER 0)
  message(FATAL_ERROR "${malos} test names carry raw parameter bytes")
endif()
