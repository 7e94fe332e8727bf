# How the host-interface headers include each other, as the vendor's do:
# AE_GeneralPlug.h reads AE_GeneralPlugOld.h at its end, and the old header
# has no include guard, so a source that includes it as well does not
# compile against the vendor's headers.
#   cmake -DROOT=<source tree> -DCXX=<compiler> -DINCLUDES=<dirs> -DDEFINES=<macros>
#         -DWORK=<scratch folder> -P include_shape.cmake
# Fails when a source of the project includes the old header itself, or
# when the headers in INCLUDES would let it (an include guard on the old
# header makes the direct include harmless here and fatal with the vendor's).

set(direct "")
foreach(folder sdk shell resources params render shading maps common host tools tests bench)
  file(GLOB_RECURSE sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    if(source STREQUAL "${ROOT}/sdk/AE_GeneralPlug.h")
      continue()
    endif()
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]AE_GeneralPlugOld\\.h[>\"]")
    if(lines)
      list(APPEND direct ${source})
    endif()
  endforeach()
endforeach()
if(direct)
  list(JOIN direct "\n  " direct)
  message(FATAL_ERROR "Include AE_GeneralPlug.h, not AE_GeneralPlugOld.h, in:\n  ${direct}")
endif()

set(probe ${WORK}/old_header_twice.cpp)
file(WRITE ${probe} "#include \"AE_GeneralPlug.h\"\n#include \"AE_GeneralPlugOld.h\"\n")
set(flags -std=c++20 -fsyntax-only)
foreach(dir IN LISTS INCLUDES)
  list(APPEND flags -I${dir})
endforeach()
foreach(macro IN LISTS DEFINES)
  list(APPEND flags -D${macro})
endforeach()
execute_process(COMMAND ${CXX} ${flags} ${probe} RESULT_VARIABLE result ERROR_VARIABLE errors
                OUTPUT_QUIET)
if(result EQUAL 0 OR NOT errors MATCHES "redefinition of [^\n]*AEGP_LayerSuite1")
  message(FATAL_ERROR "AE_GeneralPlugOld.h after AE_GeneralPlug.h must redeclare the old "
                      "tables, as the vendor's headers do; the compiler said:\n${errors}")
endif()
