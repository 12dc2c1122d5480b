# The engine's output is defined to the bit, so every target uses plain SSE2
# arithmetic with no contraction into fused multiply-adds and no value-changing
# optimisation.  -O2 is safe: without -ffast-math the compiler may not reassociate.
set(VMO_FLOAT_FLAGS -msse2 -mfpmath=sse -ffp-contract=off -fno-fast-math)

foreach(flags_var CMAKE_CXX_FLAGS CMAKE_C_FLAGS CMAKE_CXX_FLAGS_RELEASE CMAKE_C_FLAGS_RELEASE)
  if("${${flags_var}}" MATCHES "-ffast-math|-Ofast|-funsafe-math-optimizations|-ffp-contract=fast")
    message(FATAL_ERROR "${flags_var} holds a value-changing float option: ${${flags_var}}")
  endif()
endforeach()

add_compile_options(${VMO_FLOAT_FLAGS} -Wall -Wextra)

if(WIN32)
  # A module must import only Windows system DLLs: the compiler runtime goes inside.
  set(VMO_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
  add_link_options(${VMO_STATIC_RUNTIME})
endif()

if(VMO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(VMO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
