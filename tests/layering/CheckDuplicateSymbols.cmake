# Fails when two object files of the core libraries define the same external function or
# variable. A program links static libraries without complaint about that: it silently takes
# whichever definition the linker meets first, so two copies of a function under one name are
# a fault that only shows as wrong behaviour. Run as:
#   cmake -DNM=<nm> -DLIBRARIES=<a;b;...> -P CheckDuplicateSymbols.cmake
set(seen "")
set(bad "")
foreach(lib IN LISTS LIBRARIES)
  execute_process(COMMAND ${NM} -g --defined-only -A ${lib} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${lib}")
  endif()
  string(REPLACE "\n" ";" lines "${out}")
  foreach(line IN LISTS lines)
    # "<library>:<object>:<address> <type> <symbol>"; strong definitions only (weak ones, the
    # inline functions and templates, may be defined in every object that uses them).
    if(line MATCHES "^(.+):[0-9a-fA-F]+ [TDBR] ([^ ]+)$")
      set(where ${CMAKE_MATCH_1})
      set(symbol ${CMAKE_MATCH_2})
      string(MAKE_C_IDENTIFIER "s_${symbol}" key)
      if(DEFINED first_${key})
        string(APPEND bad "  ${symbol}\n    ${first_${key}}\n    ${where}\n")
      else()
        set(first_${key} ${where})
      endif()
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Symbols defined more than once in the core libraries:\n${bad}")
endif()
